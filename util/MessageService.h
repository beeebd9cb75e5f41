#pragma once

#include <QString>

// Message boxes of the program. Operations never open a box themselves: they call
// ShowMessage, which hands the text to the installed MessageService (a message box owned by
// the main window, standard error for the command-line tool, a recording script in tests).

enum class MsgIcon
{
    None,
    Error,
    Warning, // exclamation: refusals and notices that need attention
    Question,
    Information,
};

enum class MsgButtons
{
    Ok,
    OkCancel,
    YesNo,
    YesNoCancel,
};

enum class MsgButton
{
    Ok,
    Cancel,
    Yes,
    No,
};

struct MessageStyle
{
    MsgIcon icon = MsgIcon::Information;
    MsgButtons buttons = MsgButtons::Ok;
    MsgButton defaultButton = MsgButton::Ok;

    static MessageStyle error() { return {MsgIcon::Error, MsgButtons::Ok, MsgButton::Ok}; }
    static MessageStyle warning() { return {MsgIcon::Warning, MsgButtons::Ok, MsgButton::Ok}; }
    static MessageStyle information() { return {MsgIcon::Information, MsgButtons::Ok, MsgButton::Ok}; }
    static MessageStyle question(MsgButton defaultButton = MsgButton::Yes)
    {
        return {MsgIcon::Question, MsgButtons::YesNo, defaultButton};
    }

    bool operator==(const MessageStyle&) const = default;
};

class MessageService
{
public:
    virtual ~MessageService() = default;
    // Shows the text with the product caption and returns the button pressed.
    virtual MsgButton ShowMessage(const QString& text, const MessageStyle& style) = 0;

    // The process-wide service; nullptr restores the standard-error service.
    static void install(MessageService* service);
    static MessageService& instance();
};

// Writes messages to standard error and answers with the default button.
class StderrMessageService : public MessageService
{
public:
    MsgButton ShowMessage(const QString& text, const MessageStyle& style) override;
};

MsgButton ShowMessage(const QString& text, const MessageStyle& style);
