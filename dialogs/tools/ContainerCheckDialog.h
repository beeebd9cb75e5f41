#pragma once

#include "engine/KeySlot.h"

#include <QDialog>

#include <atomic>
#include <memory>
#include <thread>

class FolderCheckRun;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeWidget;

// 暗号ファイルの検査: every encrypted file of a logged-in folder and of the folders below it
// decrypted to nowhere on every core, as `kbx check -r` does, in a window of its own. While the
// check runs the window shows its progress and a stop button (Escape and closing the window stop
// it too, after the files being checked); the main window stays alive. Then it lists what was
// found (the file by its original name, its place, what is wrong and the detail), or gives the
// all-clear. The check runs on threads of its own with a copy of the folder's key and touches
// nothing of the store.
class ContainerCheckDialog : public QDialog
{
    Q_OBJECT

public:
    // root: the registered folder; key: its key (copied). The check starts when the window is
    // shown.
    ContainerCheckDialog(const QString& root, const KeySlot& key, int jobs, QWidget* parent = nullptr);
    ~ContainerCheckDialog() override;

    bool isRunning() const { return m_thread.joinable() && !m_finished; }
    const FolderCheckRun& run() const { return *m_run; }

    // What each kind of finding is called in the list.
    static QString problemText(int kind);

signals:
    void checkFinished();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void start();
    void stop();
    void showProgress();
    void finish(int result);
    void fillResults();

    QString m_root;
    std::unique_ptr<FolderCheckRun> m_run;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    bool m_finished = false;
    QLabel* m_status;
    QProgressBar* m_bar;
    QTreeWidget* m_list;
    QLabel* m_summary;
    QPushButton* m_stopButton;
    QPushButton* m_closeButton;
    QTimer* m_timer;
};
