#pragma once

#include "util/MessageService.h"

#include <QStringList>

class ProgressLine;

// Messages of the engine and of the tool on standard error, one message per block:
// "kbx: error: " and the first line of the text, further lines indented below it, blank lines
// of the message box left out. Questions take their default answer, which is shown beside
// them. Installed for its lifetime.
class CliMessageService : public MessageService
{
public:
    explicit CliMessageService(ProgressLine* progress = nullptr);
    ~CliMessageService() override;
    CliMessageService(const CliMessageService&) = delete;
    CliMessageService& operator=(const CliMessageService&) = delete;

    MsgButton ShowMessage(const QString& text, const MessageStyle& style) override;

    // The text as written, without the final line break.
    static QString Format(const QString& text, const MessageStyle& style);

private:
    ProgressLine* m_progress;
};

// While one lives, the messages the service is given on the thread that made it are kept here
// instead of being written: a worker of `kbx check` reports a file's faults in one line of its
// own. Captures on different threads do not see each other.
class MessageCapture
{
public:
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    // The texts caught so far, in order; clear() forgets them.
    const QStringList& texts() const { return m_texts; }
    void clear() { m_texts.clear(); }

private:
    friend class CliMessageService;
    MessageCapture* m_outer;
    QStringList m_texts;
};

// The tool's own messages, through the installed service.
void ReportError(const QString& text);
void ReportWarning(const QString& text);
