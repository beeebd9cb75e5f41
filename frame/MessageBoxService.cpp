#include "frame/MessageBoxService.h"

#include <QAbstractButton>
#include <QMessageBox>

#include <utility>

namespace {

QMessageBox::Icon iconOf(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons buttonsOf(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton standardButtonOf(MsgButton button)
{
    switch (button) {
    case MsgButton::Cancel:
        return QMessageBox::Cancel;
    case MsgButton::Yes:
        return QMessageBox::Yes;
    case MsgButton::No:
        return QMessageBox::No;
    case MsgButton::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// The answers read as on the program's own dialogs, whatever Qt's catalogue says.
void nameButtons(QMessageBox& box)
{
    const std::pair<QMessageBox::StandardButton, const char16_t*> names[] = {
        {QMessageBox::Yes, u"はい"},
        {QMessageBox::No, u"いいえ"},
        {QMessageBox::Cancel, u"キャンセル"},
        {QMessageBox::Ok, u"OK"},
    };
    for (const auto& [which, text] : names) {
        if (QAbstractButton* button = box.button(which)) {
            button->setText(QString::fromUtf16(text));
        }
    }
}

MsgButton buttonOf(int standardButton, const MessageStyle& style)
{
    switch (standardButton) {
    case QMessageBox::Ok:
        return MsgButton::Ok;
    case QMessageBox::Cancel:
        return MsgButton::Cancel;
    case QMessageBox::Yes:
        return MsgButton::Yes;
    case QMessageBox::No:
        return MsgButton::No;
    default:
        // Closed with Escape or the title bar: the answer that changes nothing.
        return style.buttons == MsgButtons::YesNo ? MsgButton::No : MsgButton::Cancel;
    }
}

} // namespace

MsgButton MessageBoxService::ShowMessage(const QString& text, const MessageStyle& style)
{
    QMessageBox box(iconOf(style.icon), QStringLiteral("Kurabox"), text, buttonsOf(style.buttons), m_owner);
    nameButtons(box);
    box.setDefaultButton(standardButtonOf(style.defaultButton));
    return buttonOf(box.exec(), style);
}
