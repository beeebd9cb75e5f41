#pragma once

#include "operations/open/OpenFiles.h"
#include "operations/open/ProgramMonitor.h"
#include "operations/takeout/TakeOut.h"

#include <QObject>
#include <QStringList>

#include <memory>

class ContentsView;
class DecryptedFilesView;
class FolderTreeView;
class CommandRouter;
class StoreContext;
class QWidget;

// The contents list's commands on files: open and open with, decrypt only, the take-out types
// and the drag out of the window, encrypting files in (dropped, pasted from another program, or
// plain files found in the folder), refresh, up one folder, select all and open a folder.
// Routes them on the window's router and owns what they leave running: the watch on the
// programs that opened decrypted copies, and the take-out of a drag in progress.
class ContentsCommands : public QObject
{
    Q_OBJECT

public:
    // window parents the wait dialogs; the panes outlive this object (the window owns both).
    ContentsCommands(StoreContext& store, CommandRouter& router, FolderTreeView* tree, ContentsView* contents,
                     DecryptedFilesView* decrypted, QWidget* window);
    ~ContentsCommands() override;

    // Files that show the same name cannot be told apart: only the as-is take-out is offered.
    bool takeOutOnly() const { return m_takeOutOnly; }
    void setTakeOutOnly(bool on) { m_takeOutOnly = on; }
    // Looks at the folder again (after a login or a take-out) and sets the state from it.
    void checkTakeOutOnly(const QString& folder, bool withMessages);

    // Brings files from outside into a folder (mode: EncryptFilesIn's), busy and stoppable.
    int encryptInto(int mode, const QString& destination, const QStringList& paths);
    // The paths of the selected rows in the list's order (files only: folders left out).
    QStringList selectedContents(bool filesOnly) const;

    // Brings the files another program put on the clipboard into the folder (moved when they
    // were cut). 0 or -1.
    int PasteSystemFiles(const QString& destination);

    // Ends the watch on opened programs (the window is closing).
    void stop();

signals:
    // Files came into the store from outside (the undo history no longer fits the folders).
    void filesEncryptedIn();

private:
    void routeOpen();
    void routeTakeOut();
    void routeEncrypt();
    void routeNavigation();
    void connectDragOut();
    // The open operation as the window runs it: programs watched, the decrypted list told.
    OpenFiles openFiles();
    // Opens the selected files with their default program, or with the program given.
    int openSelection(const QString& program);
    // Takes the selected items out (a TakeOut type), busy, and brings the lists up to date.
    int takeOut(TakeOut::Type type);
    // Both lists read again after copies were made or written back; the tree too when folders went.
    void refreshAfter(bool foldersRemoved);

    StoreContext& m_store;
    CommandRouter& m_router;
    FolderTreeView* m_tree;
    ContentsView* m_contents;
    DecryptedFilesView* m_decrypted;
    QWidget* m_window;
    bool m_takeOutOnly = false;

    ProgramMonitor m_monitor;
    // The take-out of a drag in progress (rows dragged out decrypted).
    std::unique_ptr<OpenFiles> m_dragOpen;
    std::unique_ptr<TakeOut> m_dragTakeOut;
    QString m_dragError;
};
