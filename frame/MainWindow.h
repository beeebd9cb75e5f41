#pragma once

#include "frame/commands/CommandRouter.h"
#include "store/StoreContext.h"

#include <QBasicTimer>
#include <QHash>
#include <QMainWindow>

class BusyInputFilter;
class ContentsView;
class DecryptedFilesView;
class FolderTreeView;
class ContentsCommands;
class DecryptedCommands;
class IdleUpdates;
class InsideCommands;
class PaneFocus;
class QAbstractScrollArea;
class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;
struct PaneState;

// The program's one window: the folder tree, the contents list and the decrypted-files list
// side by side, the menu bar, the toolbar and the status bar. It starts the store when it is
// created and hands it to the panes, sends every command through its router (the panes and the
// operations route their own commands there), applies the enable rules, runs the close
// sequence and saves the settings and the common data when it goes.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // dataFolder empty: the user's data folder.
    explicit MainWindow(const QString& dataFolder = QString(), QWidget* parent = nullptr);
    ~MainWindow() override;

    static MainWindow* instance();

    // False when loading the store failed; its message has been shown and the program ends.
    bool isCreated() const { return m_created; }
    // What follows once the window is shown; -1 ends the program.
    int StartUpWork();

    FolderTreeView* tree() const { return m_tree; }
    ContentsView* contents() const { return m_contents; }
    DecryptedFilesView* decryptedFiles() const { return m_decrypted; }
    QAction* action(int id) const { return m_actions.value(id); }
    QList<QMenu*> topMenus() const { return m_menus; }
    QLabel* statusPane(int index) const;
    StoreContext& store() { return m_store; }
    SettingsRecord& settings() { return m_store.settings(); }
    RegisteredFolderTable* folders() { return m_store.isStarted() ? &m_store.folders() : nullptr; }
    QString workingFolder() const { return m_store.workingFolder(); }
    QString dataFolder() const { return m_store.dataFolder(); }
    CommandRouter& router() { return m_router; }

    // Runs a command as the menu would and gives back its result (0, -1 or an engine code).
    int runCommand(int id);
    // Evaluates the enable rules of every command (menus opening and the status timer do).
    void updateCommandStates();
    // The stop, close and end-of-session paths, as the window runs them.
    void StopBackgroundWork();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QList<QAbstractScrollArea*> panes() const;
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    void buildPanes();
    void routeWindowCommands();
    void connectPanes();
    int toggleSetting(int* field);
    void onBusyChanged(bool busy);
    void busyTick();
    void idleUpdate();
    void closingHousekeeping(bool withMessages);
    void saveOnExit();
    PaneState paneState() const;

    StoreContext m_store;
    CommandRouter m_router;
    bool m_created = false;
    bool m_closing = false;

    QSplitter* m_splitter = nullptr;
    FolderTreeView* m_tree = nullptr;
    ContentsView* m_contents = nullptr;
    DecryptedFilesView* m_decrypted = nullptr;
    QToolBar* m_toolbar = nullptr;
    BusyInputFilter* m_inputFilter = nullptr;
    QList<QMenu*> m_menus;
    QHash<int, QAction*> m_actions;
    QList<QLabel*> m_panes;

    ContentsCommands* m_contentsCommands = nullptr;
    DecryptedCommands* m_decryptedCommands = nullptr;
    InsideCommands* m_insideCommands = nullptr;
    PaneFocus* m_paneFocus = nullptr;
    // Runs while the window is busy: the busy animation and its text.
    QBasicTimer m_statusTimer;
    IdleUpdates* m_idle = nullptr;
    int m_frame = 0;
    QString m_lastIdleText;
};
