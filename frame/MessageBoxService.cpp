#include "frame/MessageBoxService.h"

#include <QMessageBox>

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
    box.setDefaultButton(standardButtonOf(style.defaultButton));
    return buttonOf(box.exec(), style);
}
