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

// The tool's own messages, through the installed service.
void ReportError(const QString& text);
void ReportWarning(const QString& text);
