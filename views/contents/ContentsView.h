#pragma once

#include "views/common/FolderPictures.h"
#include "views/contents/ContentsMenus.h"

#include <QPixmap>
#include <QStringList>
#include <QTimer>
#include <QTreeView>

#include <array>
#include <functional>
#include <memory>

class ContentsModel;
class ContentsRows;
class FolderWatcher;
class QMenu;
class StoreContext;
struct SelectionAnalysis;

// The contents of the shown folder (middle pane): every item under its original name, size and
// times, plain files in red. The rows live in its ContentsModel. The list follows the disk: a
// watcher on the shown folder asks for a refresh, which compares the folder with a snapshot
// taken at the last fill or refresh and only then merges the changes into the rows. Everything
// runs on the window's thread; a refresh waits while the window is busy (retried every 500 ms).
class ContentsView : public QTreeView
{
    Q_OBJECT

public:
    explicit ContentsView(QWidget* parent = nullptr);
    ~ContentsView() override;

    // The store the rows are made from; until then the list stays empty.
    void attach(StoreContext& store);

    ContentsModel* contentsModel() const { return m_model; }

    // The folder shown, and the registered root it belongs to; empty when none is shown.
    QString shownFolderPath() const { return m_shownFolderPath; }
    QString selectedRootPath() const { return m_selectedRootPath; }

    // Fills the list with the folder and watches it. 0, or -1 when its rows could not be made.
    int ShowFolder(const QString& folder, const QString& root);
    // Rebuilds every row of the shown folder; 0 or -1.
    int FillContents(const QString& folder);
    // Shows no folder: no rows, no watching, and the background of why (a locked folder shows
    // a padlock).
    void StopWatchingContents(ListBackground background = ListBackground::Plain);
    // Asks for a refresh even without a change notice (operations that changed the folder).
    void RequestContentsRefresh();
    // Brings the rows up to date with the folder now (as the watcher does): nothing happens
    // while the window is busy except that the refresh is kept pending.
    void RefreshContents();
    bool refreshPending() const { return m_refreshPending; }
    // Ends the watching for good (the window closes): a running refresh is abandoned.
    void StopContentsWatcher();

    // Sorts by the column: the first click ascending (folders first), the next descending.
    void SortContents(int column);
    // 0 icons, 1 list, anything else details.
    void SetContentsViewMode(int mode);
    void SetContentsBackground(const QString& folder);
    ListBackground background() const { return m_background; }

    int selectedRowCount() const;
    // The rows selected, in list order.
    QList<int> selectedRowsInOrder() const;
    // The idle text of status pane 0.
    QString ContentsStatusText() const;
    // The program files of the open-with entries of the last context menu, in menu order.
    QStringList openWithPrograms() const { return m_openWithPrograms; }
    // Examines the selected rows; false when one has vanished.
    bool AnalyseSelection(SelectionAnalysis* analysis) const;
    // The context menu for the current selection at that position of the viewport (null when
    // none is offered). The caller owns it.
    QMenu* buildContextMenu(bool overRow);

    // What the window tells the context menus: which commands have an operation behind them,
    // whether the take-out-only state is on, and the paste entry's text (empty: nothing to paste).
    std::function<bool(int)> commandAvailable;
    std::function<bool()> takeOutOnly;
    std::function<QString()> pasteText;
    // Items dropped on the list: which of the drop menu's commands the user chose (0 for
    // none). By default the menu is shown at the cursor.
    std::function<int(const QPoint& globalPosition)> chooseDropCommand;
    // Rows dragged out handed out decrypted: makes the copies of the items when the drop target
    // asks (empty: refused; the reason is shown after the drag) ...
    std::function<QStringList(const QStringList& items)> prepareDragOut;
    // ... and cleans up after the drag (copies == what prepare returned; empty when never asked).
    std::function<void(const QStringList& items, const QStringList& copies, bool prepared)> finishDragOut;

    // The data a drag of the selected rows carries: the copies made on request when decrypting,
    // otherwise the containers themselves.
    QMimeData* dragData(bool decrypting) const;
    // After a drag with that data ended.
    void dragFinished(QMimeData* data);

    // The entries of the new-file menu after the folder (asked for each time menu 134 opens).
    std::function<QList<NewFileEntry>()> newFileEntries;
    // Starts editing the name of the row at this path (the row is selected first); false when
    // no row shows it.
    bool StartRenaming(const QString& path);
    // The row that shows the entry at this path; -1 when none.
    int rowOfPath(const QString& path) const;

signals:
    // A folder row was opened: the window selects it in the tree.
    void openFolderRequested(const QString& path);
    // A command chosen from a context menu or the double click of a file.
    void commandRequested(int id);
    // The folder's subfolders may have changed: the tree reads them again.
    void subfoldersChanged();
    // Files from outside were dropped with the command chosen from the drop menu.
    void filesDropped(int command, const QString& destination, const QStringList& paths);
    // Rows of this list were dropped onto a folder (or the list) with menu 135's command.
    void rowsDropped(int command, const QString& target, const QStringList& items);
    // The name of a row was edited: the entry at path is to be renamed (the extension a shown
    // name leaves out is already put back).
    void renameRequested(const QString& path, const QString& newName);

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    void applyColumnWidths();
    void onSectionResized(int column, int oldSize, int newSize);
    void onDoubleClicked(const QModelIndex& index);
    void onNameEdited(int row, const QString& text);
    void dropRows(QDropEvent* event, const QString& target);
    // The command chosen from the drop menu the builder makes (0: none).
    int askDropCommand(QDropEvent* event, QMenu* (*buildMenu)(QWidget*));
    void scheduleRefresh();
    bool applyRefresh(const QString& folder, quint64 generation);

    ContentsModel* m_model;
    StoreContext* m_store = nullptr;
    std::unique_ptr<ContentsRows> m_rows;
    FolderWatcher* m_watcher;
    QTimer m_retry;
    QStringList m_snapshot;
    QString m_shownFolderPath;
    QString m_selectedRootPath;
    bool m_suspended = true;
    bool m_refreshPending = false;
    bool m_refreshing = false;
    bool m_stopped = false;
    quint64 m_generation = 0;
    std::array<int, 11> m_sortState{};
    int m_sortColumn = -1;
    int m_viewMode = 2;
    ListBackground m_background = ListBackground::Plain;
    int m_dropRow = -1; // the folder row highlighted as the drop target
    QStringList m_openWithPrograms;
};
