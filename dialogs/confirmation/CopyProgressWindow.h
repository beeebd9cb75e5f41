#pragma once

#include "engine/ContainerCrypt.h"

#include <QString>

class QProgressDialog;
class QWidget;

// The visible progress of a long copy run on the window thread (a backup, for instance): a
// progress window with the bytes done of the bytes to do, the busy text (the file being copied)
// as its label, and a stop button that asks the running operation to stop, as the toolbar's stop
// button does. It appears only when the copy takes a moment. Hand it to the operation as its
// progress observer for the operation's lifetime.
class CopyProgressWindow : public ProgressObserver
{
public:
    CopyProgressWindow(QWidget* owner, const QString& title);
    ~CopyProgressWindow() override;
    CopyProgressWindow(const CopyProgressWindow&) = delete;
    CopyProgressWindow& operator=(const CopyProgressWindow&) = delete;

    void progress(qint64 done, qint64 total) override;

private:
    QProgressDialog* m_dialog;
};
