#include "dialogs/password/PasswordWidgets.h"

#include "util/MessageService.h"
#include "util/PasswordRules.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>

PasswordLineEdit::PasswordLineEdit(bool hidden, QWidget* parent) : QLineEdit(parent)
{
    setEchoMode(hidden ? QLineEdit::Password : QLineEdit::Normal);
    setContextMenuPolicy(Qt::NoContextMenu);
    setDragEnabled(false);
    setMaxLength(256);
    setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText |
                        Qt::ImhPreferLatin);
}

void PasswordLineEdit::wipe()
{
    // Overwrite before clearing so the characters do not linger in the box's own buffer.
    setText(QString(text().size(), QLatin1Char('0')));
    clear();
}

void PasswordLineEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

StrengthMeter::StrengthMeter(QWidget* parent) : QWidget(parent), m_bar(new QProgressBar)
{
    m_bar->setObjectName(QStringLiteral("strength"));
    m_bar->setRange(0, PasswordRules::MaxStrength);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_bar->setAccessibleName(QStringLiteral("パスワードの安全性"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("（安全性）　低")));
    layout->addWidget(m_bar, 1);
    layout->addWidget(new QLabel(QStringLiteral("高")));
}

void StrengthMeter::showStrengthOf(const QString& password)
{
    m_bar->setValue(PasswordRules::PasswordStrength(password));
}

int StrengthMeter::value() const
{
    return m_bar->value();
}

void WipePasswordBoxes(QWidget* dialog)
{
    for (PasswordLineEdit* box : dialog->findChildren<PasswordLineEdit*>()) {
        box->wipe();
    }
}

void WarnAndFocus(const QString& text, QWidget* box)
{
    ShowMessage(text, MessageStyle::warning());
    if (box) {
        box->setFocus();
    }
}

bool AskYesNo(const QString& text)
{
    return ShowMessage(text, MessageStyle::question()) == MsgButton::Yes;
}
