#pragma once

#include <QString>
#include <QStringList>

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

// While one lives, the messages shown on the thread that made it are kept here instead of
// reaching the installed service: a worker that checks files reports each file's faults as a
// line of its own, and a message box never opens from a worker thread. Captures on different
// threads do not see each other; an inner capture hides the outer one while it lives.
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
    friend MsgButton ShowMessage(const QString& text, const MessageStyle& style);
    MessageCapture* m_outer;
    QStringList m_texts;
};
