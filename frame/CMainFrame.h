#pragma once

#include "store/SettingsFile.h"

#include <QBasicTimer>
#include <QHash>
#include <QMainWindow>

#include <memory>

class BusyInputFilter;
class CListV;
class CListV2;
class CTreeV;
class CommonData2;
class DecryptedCopies;
class MessageCatalogue;
class QAbstractScrollArea;
class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;
class RegisteredFolderTable;
class StoreAreas;

// The program's one window: the folder tree, the contents list and the decrypted-files list
// side by side, the menu bar, the toolbar and the status bar. It loads the store when it is
// created, routes every command, decides which commands are enabled, and saves the settings and
// the common data when it goes.
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    // dataFolder empty: the user's data folder.
    explicit CMainFrame(const QString& dataFolder = QString(), QWidget* parent = nullptr);
    ~CMainFrame() override;

    static CMainFrame* instance();

    // False when loading the store failed; its message has been shown and the program ends.
    bool isCreated() const { return m_created; }
    // What follows once the window is shown; -1 ends the program.
    int StartUpWork();

    CTreeV* tree() const { return m_tree; }
    CListV* contents() const { return m_contents; }
    CListV2* decryptedFiles() const { return m_decrypted; }
    QAction* action(int id) const { return m_actions.value(id); }
    QList<QMenu*> topMenus() const { return m_menus; }
    QLabel* statusPane(int index) const;
    SettingsRecord& settings() { return m_settings; }
    RegisteredFolderTable* folders() const { return m_folders.get(); }
    QString workingFolder() const;
    QString dataFolder() const { return m_dataFolder; }

    // Evaluates the enable rules of every command (menus opening and the status timer do).
    void updateCommandStates();
    // The stop, close and end-of-session paths, as the window runs them.
    void StopBackgroundWork();

signals:
    // Every command reaches its operation through here.
    void commandTriggered(int id);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    bool createStore();
    QList<QAbstractScrollArea*> panes() const;
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    void buildPanes();
    void onCommand(int id);
    void onBusyChanged(bool busy);
    void statusTick();
    void closingHousekeeping(bool withMessages);
    void saveOnExit();
    bool commandEnabled(int id) const;
    bool selectionAllows(int id) const;
    bool treeItemAllows(int id) const;

    QString m_dataFolder;
    bool m_created = false;
    bool m_closing = false;
    bool m_saved = false;
    bool m_takeOutOnly = false;

    std::unique_ptr<MessageCatalogue> m_catalogue;
    SettingsRecord m_settings;
    std::unique_ptr<RegisteredFolderTable> m_folders;
    std::unique_ptr<CommonData2> m_common2;
    std::unique_ptr<StoreAreas> m_areas;
    std::unique_ptr<DecryptedCopies> m_copies;
    QStringList m_newFileTypes;

    QSplitter* m_splitter = nullptr;
    CTreeV* m_tree = nullptr;
    CListV* m_contents = nullptr;
    CListV2* m_decrypted = nullptr;
    QToolBar* m_toolbar = nullptr;
    BusyInputFilter* m_inputFilter = nullptr;
    QList<QMenu*> m_menus;
    QHash<int, QAction*> m_actions;
    QList<QLabel*> m_panes;

    QBasicTimer m_statusTimer;
    int m_frame = 0;
    QString m_lastIdleText;
};
