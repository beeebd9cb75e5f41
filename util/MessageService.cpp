#include "util/MessageService.h"

#include <cstdio>

namespace {

StderrMessageService g_stderrService;
MessageService* g_service = nullptr;

const char* iconLabel(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Error:
        return "エラー";
    case MsgIcon::Warning:
        return "警告";
    case MsgIcon::Question:
        return "確認";
    case MsgIcon::Information:
        return "情報";
    case MsgIcon::None:
        break;
    }
    return "";
}

} // namespace

void MessageService::install(MessageService* service)
{
    g_service = service;
}

MessageService& MessageService::instance()
{
    return g_service ? *g_service : g_stderrService;
}

MsgButton StderrMessageService::ShowMessage(const QString& text, const MessageStyle& style)
{
    const QByteArray label = iconLabel(style.icon);
    std::fprintf(stderr, "Kurabox%s%s: %s\n", label.isEmpty() ? "" : " ", label.constData(),
                 text.toLocal8Bit().constData());
    std::fflush(stderr);
    return style.defaultButton;
}

MsgButton ShowMessage(const QString& text, const MessageStyle& style)
{
    return MessageService::instance().ShowMessage(text, style);
}
