#pragma once

#include <QLineEdit>
#include <QWidget>

class QProgressBar;

// A box a password is typed into. Hidden boxes show dots; every box refuses to hand its text to
// the clipboard or to a drag (no copy, no cut, no context menu), and wipe() overwrites what it
// held before it empties it.
class PasswordLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit PasswordLineEdit(bool hidden, QWidget* parent = nullptr);
    void wipe();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// The strength meter of the password dialogs: a bar from 0 to 85 between "（安全性）　低" and
// "高", set from the text of a password box.
class StrengthMeter : public QWidget
{
    Q_OBJECT

public:
    explicit StrengthMeter(QWidget* parent = nullptr);
    void showStrengthOf(const QString& password);
    int value() const;

private:
    QProgressBar* m_bar;
};

// Wipes every password box below the widget (a dialog that closes calls it).
void WipePasswordBoxes(QWidget* dialog);

// The message box of the password dialogs' warnings and questions, with the focus put back into
// the box concerned after a warning.
void WarnAndFocus(const QString& text, QWidget* box);
bool AskYesNo(const QString& text);
