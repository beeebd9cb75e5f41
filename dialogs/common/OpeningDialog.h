#pragma once

#include <QDialog>

// A dialog whose caller fills public fields before showing it. The controls are set up from the
// fields once, when the dialog opens (or earlier through prepare(), to look at it without
// running it). An opening that decides to end the dialog at once makes exec() return without
// the dialog ever being shown.
class OpeningDialog : public QDialog
{
public:
    explicit OpeningDialog(QWidget* parent = nullptr);

    // Sets the controls up from the fields; false when the dialog ended during the opening.
    bool prepare();
    int exec() override;

protected:
    // Fills the controls. Returning false ends the dialog with the result set by endAtOpening().
    virtual bool initDialog() = 0;
    // Records the result of a dialog that ends while it opens.
    void endAtOpening(DialogCode code);
    // Fixes the size to what the layout needs.
    void fitToContents();
    // Enter on a focused push button presses that button; the default button answers Enter
    // only while the focus is elsewhere.
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_prepared = false;
    bool m_ended = false;
};
