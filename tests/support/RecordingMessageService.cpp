#include "support/RecordingMessageService.h"

RecordingMessageService::RecordingMessageService() : m_previous(&MessageService::instance())
{
    MessageService::install(this);
}

RecordingMessageService::~RecordingMessageService()
{
    MessageService::install(m_previous);
}

MsgButton RecordingMessageService::ShowMessage(const QString& text, const MessageStyle& style)
{
    m_shown.append({text, style});
    return m_answers.isEmpty() ? style.defaultButton : m_answers.takeFirst();
}

QStringList RecordingMessageService::texts() const
{
    QStringList list;
    for (const Shown& s : m_shown) {
        list.append(s.text);
    }
    return list;
}
