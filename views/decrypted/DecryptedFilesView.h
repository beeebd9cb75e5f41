#pragma once

#include <QTimer>
#include <QTreeView>

#include <functional>

class DecryptedFilesModel;
class FolderWatcher;
class QMenu;
class StoreContext;

// The files that are decrypted for use right now (right pane): every copy below the "Ac" area
// of the registered folder selected in the tree, changed copies in blue. The rows live in its
// DecryptedFilesModel; only their first column is shown. The list follows the area (with its
// subfolders) through change notices on the window's thread; while the window is busy a scan
// waits (retried every 100 ms).
class DecryptedFilesView : public QTreeView
{
    Q_OBJECT

public:
    // The list's own menu commands.
    enum ListCommand
    {
        ReflectSelectedCommand = 32861,
        ReflectAllCommand = 32840,
        GoToLocation = 32961,
    };

    explicit DecryptedFilesView(QWidget* parent = nullptr);

    void attach(StoreContext& store);
    DecryptedFilesModel* decryptedModel() const { return m_model; }
    int rowCount() const;
    int selectedRowCount() const;
    // The copies of the selected rows, in list order.
    QStringList selectedCopies() const;

    // Follows this area (an empty or missing folder stops watching). 0 or -1.
    int WatchDecryptedFolder(const QString& area);
    void StopWatchingDecrypted();
    QString watchedFolder() const { return m_area; }
    void RequestDecryptedRefresh();
    // Scans the area now (nothing while the window is busy but keeping the scan pending).
    void RefreshDecrypted();
    void StopDecryptedWatcher();

    // Whether a command of the menu has an operation behind it.
    std::function<bool(int)> commandAvailable;

signals:
    void commandRequested(int id);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Shift+F10 opens the context menu.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void scan(const QString& folder, QStringList* seen);

    DecryptedFilesModel* m_model;
    StoreContext* m_store = nullptr;
    FolderWatcher* m_watcher;
    QTimer m_retry;
    QString m_area;
    bool m_pending = false;
    bool m_stopped = false;
};
