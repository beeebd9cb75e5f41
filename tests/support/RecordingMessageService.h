#pragma once

#include "util/MessageService.h"

#include <QList>
#include <QString>

// Records every message box and answers from a script: each box takes the next scripted
// answer, or its default button when the script is used up. Installed for its lifetime.
class RecordingMessageService : public MessageService
{
public:
    struct Shown
    {
        QString text;
        MessageStyle style;
    };

    RecordingMessageService();
    ~RecordingMessageService() override;

    void script(QList<MsgButton> answers) { m_answers = std::move(answers); }
    MsgButton ShowMessage(const QString& text, const MessageStyle& style) override;

    const QList<Shown>& shown() const { return m_shown; }
    QStringList texts() const;
    void clear() { m_shown.clear(); }

private:
    MessageService* m_previous;
    QList<MsgButton> m_answers;
    QList<Shown> m_shown;
};
