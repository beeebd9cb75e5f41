#include "cli/CliMessageService.h"

#include "cli/CliLanguage.h"
#include "cli/ProgressLine.h"
#include "cli/TerminalText.h"

#include <QStringList>

#include <cstdio>

namespace {

QString labelOf(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Error:
        return Tr("error", "エラー");
    case MsgIcon::Warning:
        return Tr("warning", "警告");
    case MsgIcon::Question:
        return Tr("question", "確認");
    case MsgIcon::Information:
        return Tr("note", "情報");
    case MsgIcon::None:
        break;
    }
    return QString();
}

QString buttonText(MsgButton button)
{
    switch (button) {
    case MsgButton::Ok:
        return QStringLiteral("OK");
    case MsgButton::Cancel:
        return Tr("Cancel", "キャンセル");
    case MsgButton::Yes:
        return Tr("Yes", "はい");
    case MsgButton::No:
        return Tr("No", "いいえ");
    }
    return QString();
}

} // namespace

CliMessageService::CliMessageService(ProgressLine* progress) : m_progress(progress)
{
    MessageService::install(this);
}

CliMessageService::~CliMessageService()
{
    MessageService::install(nullptr);
}

QString CliMessageService::Format(const QString& text, const MessageStyle& style)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    lines.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });
    const QString label = labelOf(style.icon);
    QString formatted = QStringLiteral("kbx: ");
    if (!label.isEmpty()) {
        formatted += label + QLatin1String(": ");
    }
    // Messages may quote a header's text: each line is printed with its controls escaped.
    formatted += lines.isEmpty() ? QString() : TerminalSafe(lines.takeFirst());
    for (const QString& line : lines) {
        formatted += QLatin1String("\n    ") + TerminalSafe(line);
    }
    if (style.buttons != MsgButtons::Ok) {
        formatted += Tr("\n    (answered: %1)", "\n    （回答: %1）").arg(buttonText(style.defaultButton));
    }
    return formatted;
}

MsgButton CliMessageService::ShowMessage(const QString& text, const MessageStyle& style)
{
    if (m_progress) {
        m_progress->clear();
    }
    const QByteArray bytes = Format(text, style).toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
    return style.defaultButton;
}

void ReportError(const QString& text)
{
    ShowMessage(text, MessageStyle::error());
}

void ReportWarning(const QString& text)
{
    ShowMessage(text, MessageStyle::warning());
}
