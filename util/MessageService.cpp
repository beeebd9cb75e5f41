#include "util/MessageService.h"

#include <cstdio>

namespace {

StderrMessageService g_stderrService;
MessageService* g_service = nullptr;
thread_local MessageCapture* t_capture = nullptr;

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

MessageCapture::MessageCapture() : m_outer(t_capture)
{
    t_capture = this;
}

MessageCapture::~MessageCapture()
{
    t_capture = m_outer;
}

MsgButton ShowMessage(const QString& text, const MessageStyle& style)
{
    if (t_capture) {
        t_capture->m_texts.append(text);
        return style.defaultButton;
    }
    return MessageService::instance().ShowMessage(text, style);
}
