#include "frame/CMainFrame.h"

#include "app/ShellFileTypes.h"
#include "dialogs/CD25ReturnMsg.h"
#include "dialogs/CD90Kbx.h"
#include "engine/ContainerCrypt.h"
#include "engine/CryptEngine.h"
#include "frame/BusyAnimation.h"
#include "frame/BusyInputFilter.h"
#include "frame/CTreeV.h"
#include "frame/CommandTable.h"
#include "frame/ToolbarIcons.h"
#include "store/CommonData2.h"
#include "store/DataFolder.h"
#include "store/DecryptedCopies.h"
#include "store/EngineStartup.h"
#include "store/MessageCatalogue.h"
#include "store/RegisteredFolderTable.h"
#include "store/StoreAreas.h"
#include "store/WorkingFolderLocation.h"
#include "util/EventPump.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/StringTable.h"
#include "views/CListV.h"
#include "views/CListV2.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSessionManager>
#include <QSplitter>
#include <QStatusBar>
#include <QTimerEvent>
#include <QToolBar>
#include <QTreeWidgetItem>
#include <QUrl>
#include <QWheelEvent>

namespace {

CMainFrame* g_frame = nullptr;

constexpr int StatusTimerMs = 100;
constexpr int DefaultWidth = 775;
constexpr int DefaultHeight = 520;
constexpr int MinimumColumn = 10;
constexpr unsigned IdleText = 57345;

} // namespace

CMainFrame* CMainFrame::instance()
{
    return g_frame;
}

CMainFrame::CMainFrame(const QString& dataFolder, QWidget* parent)
    : QMainWindow(parent), m_dataFolder(dataFolder.isEmpty() ? DataFolderPath() : dataFolder)
{
    g_frame = this;
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(LoadText(57344));
    MainWindowServices::instance().reset();
    buildPanes();
    buildMenus();
    buildToolbar();
    buildStatusBar();
    if (!createStore()) {
        return;
    }
    const bool hadSettings = SettingsFileExists(m_dataFolder) == 0;
    resize(hadSettings ? m_settings.SizeMfWidth : DefaultWidth,
           hadSettings ? m_settings.SizeMfHigh : DefaultHeight);
    const int tree = qMax(MinimumColumn, m_settings.SizeTvWidth);
    const int list =
        qMax(MinimumColumn, m_settings.SizeMfWidth - m_settings.SizeTvWidth - m_settings.SizeLv2Width);
    m_splitter->setSizes({tree, list, qMax(MinimumColumn, m_settings.SizeLv2Width)});

    connect(&MainWindowServices::instance(), &MainWindowServices::busyChanged, this,
            &CMainFrame::onBusyChanged);
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
        // The session is ending: nothing is asked and nothing is reflected.
        StopBackgroundWork();
        closingHousekeeping(false);
        saveOnExit();
    });
    m_inputFilter = new BusyInputFilter(this, this);
    m_inputFilter->setStopButton(m_toolbar->widgetForAction(m_actions.value(Command::Stop)));
    qApp->installEventFilter(m_inputFilter);
    m_statusTimer.start(StatusTimerMs, this);
    m_created = true;
}

CMainFrame::~CMainFrame()
{
    if (m_created) {
        saveOnExit();
    }
    if (g_frame == this) {
        g_frame = nullptr;
    }
}

bool CMainFrame::createStore()
{
    CryptEngine& engine = CryptEngine::instance();
    m_catalogue = std::make_unique<MessageCatalogue>(engine);
    if (StartEngine(engine, *m_catalogue) != 0) {
        return false;
    }
    if (LoadSettingsAtStartup(m_settings, m_dataFolder) != 0) {
        return false;
    }
    auto working = [this] { return workingFolder(); };
    m_common2 = std::make_unique<CommonData2>(engine, m_dataFolder, DefaultWorkingFolder());
    m_folders = std::make_unique<RegisteredFolderTable>(engine, m_dataFolder, working);
    if (m_folders->LoadRegisteredFolders() != 0 || m_common2->LoadCommon2() != 0) {
        return false;
    }
    ContainerCrypt::instance().setWorkingFolder(workingFolder());
    m_areas = std::make_unique<StoreAreas>(*m_folders, working);
    m_copies = std::make_unique<DecryptedCopies>(*m_folders, working);
    m_areas->CleanTakeOutAreas(true);
    m_newFileTypes = ListNewFileTypes();
    return true;
}

QString CMainFrame::workingFolder() const
{
    if (m_common2 && !m_common2->AngoTempFolder.isEmpty()) {
        return m_common2->AngoTempFolder;
    }
    return DefaultWorkingFolder();
}

int CMainFrame::StartUpWork()
{
    m_areas->CleanScratchAreas(true);
    QString list;
    if (m_copies->ListFoldersWithDecryptedFiles(&list) != 0) {
        ShowMessage(MsgA(143) + list, MessageStyle::information());
    }
    updateCommandStates();
    return 0;
}

void CMainFrame::buildPanes()
{
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("CUSplitterWnd"));
    m_tree = new CTreeV(m_splitter);
    m_contents = new CListV(m_splitter);
    m_decrypted = new CListV2(m_splitter);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setSizes({100, 200, 100});
    setCentralWidget(m_splitter);
    connect(m_splitter, &QSplitter::splitterMoved, this, [this] {
        const QList<int> sizes = m_splitter->sizes();
        m_settings.SizeTvWidth = sizes.at(0);
        m_settings.SizeLv2Width = sizes.at(2);
    });
    for (QAbstractScrollArea* pane : panes()) {
        pane->viewport()->installEventFilter(this);
    }
}

QList<QAbstractScrollArea*> CMainFrame::panes() const
{
    return {m_tree, m_contents, m_decrypted};
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (!m_created) {
        return;
    }
    // The tree keeps its width, the decrypted-files list its own; the contents list takes the rest.
    constexpr int Margin = 14;
    constexpr int MinimumContents = 100;
    const int tree = qMax(MinimumColumn, m_settings.SizeTvWidth);
    const int contents = qMax(MinimumContents, width() - tree - m_settings.SizeLv2Width - Margin);
    m_splitter->setSizes({tree, contents, qMax(MinimumColumn, m_settings.SizeLv2Width)});
}

// A wheel turned over one pane while another has the focus scrolls the pane under the cursor.
bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        QWidget* under = QApplication::widgetAt(wheel->globalPosition().toPoint());
        for (QAbstractScrollArea* pane : panes()) {
            if (under && pane->viewport() != watched &&
                (pane->viewport() == under || pane->isAncestorOf(under))) {
                QWheelEvent copy(pane->viewport()->mapFromGlobal(wheel->globalPosition()),
                                 wheel->globalPosition(), wheel->pixelDelta(), wheel->angleDelta(),
                                 wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted());
                QApplication::sendEvent(pane->viewport(), &copy);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::buildMenus()
{
    const QList<QString> titles = TopLevelMenus();
    for (const QString& title : titles) {
        QMenu* menu = menuBar()->addMenu(title);
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
        m_menus.append(menu);
    }
    for (const CommandEntry& entry : MenuCommands()) {
        QMenu* menu = m_menus.at(entry.menu);
        if (entry.id == Command::Separator) {
            menu->addSeparator();
            continue;
        }
        const QString text = entry.text.section(QLatin1Char('\t'), 0, 0);
        const QString shortcut = entry.text.section(QLatin1Char('\t'), 1);
        QAction* action = menu->addAction(text);
        action->setData(entry.id);
        if (!shortcut.isEmpty()) {
            action->setShortcut(QKeySequence(shortcut));
        }
        const bool checkable = entry.id == Command::IconView || entry.id == Command::DetailView ||
                               entry.id == Command::ToggleWatch || entry.id == Command::ToggleDragEncrypted;
        action->setCheckable(checkable);
        connect(action, &QAction::triggered, this, [this, id = entry.id] { onCommand(id); });
        m_actions.insert(entry.id, action);
    }
}

void CMainFrame::buildToolbar()
{
    m_toolbar = addToolBar(QStringLiteral("toolbar"));
    m_toolbar->setObjectName(QStringLiteral("toolbar"));
    m_toolbar->setMovable(false);
    m_toolbar->setIconSize(QSize(24, 24));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (int id : ToolbarCommands()) {
        if (id == Command::Separator) {
            m_toolbar->addSeparator();
            continue;
        }
        QAction* action = m_actions.value(id);
        if (!action) {
            // Commands without a menu item live on the toolbar alone.
            action = new QAction(this);
            action->setData(id);
            connect(action, &QAction::triggered, this, [this, id] { onCommand(id); });
            m_actions.insert(id, action);
        }
        action->setToolTip(ToolbarTip(id));
        action->setIcon(ToolbarIcon(id));
        m_toolbar->addAction(action);
    }
}

void CMainFrame::buildStatusBar()
{
    // Pane 0 takes the texts, 1 is a spacer, 2 holds the busy animation, 3 a spacer.
    const QStringList widths = {QString(), QStringLiteral("　　　"), QStringLiteral("　　 "),
                                QString(13, QChar(0x3000))};
    for (int i = 0; i < widths.size(); ++i) {
        auto* pane = new QLabel(this);
        pane->setObjectName(QStringLiteral("statusPane%1").arg(i));
        if (i == 0) {
            statusBar()->addWidget(pane, 1);
        } else {
            pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(widths.at(i)));
            statusBar()->addPermanentWidget(pane);
        }
        m_panes.append(pane);
    }
    m_panes.at(2)->setPixmap(BusyAnimation::frame(0));
}

QLabel* CMainFrame::statusPane(int index) const
{
    return m_panes.value(index);
}

namespace {

// Commands on the items of the tree or of the contents list.
const QList<int> ItemCommands = {Command::Open,
                                 Command::TakeOut,
                                 Command::Mail,
                                 Command::DecryptOnly,
                                 Command::TakeOutEncrypted,
                                 Command::TakeOutNewPassword,
                                 Command::MailNewPassword,
                                 Command::Delete,
                                 Command::Rename,
                                 Command::Properties,
                                 Command::Cut,
                                 Command::Copy};

} // namespace

// The selection rule: which commands the focused pane and its selection allow.
bool CMainFrame::selectionAllows(int id) const
{
    if (m_contents->hasFocus()) {
        if (id == Command::Unregister || id == Command::Backup || id == Command::Login ||
            id == Command::Logout) {
            return false;
        }
        const int selected = int(m_contents->selectedItems().size());
        if (selected == 0 && ItemCommands.contains(id)) {
            return false;
        }
        return !(id == Command::Properties && selected > 1);
    }
    if (m_tree->hasFocus()) {
        static const QList<int> listOnly = {Command::Open,
                                            Command::TakeOut,
                                            Command::Mail,
                                            Command::DecryptOnly,
                                            Command::TakeOutEncrypted,
                                            Command::TakeOutNewPassword,
                                            Command::MailNewPassword,
                                            Command::Rename};
        return !listOnly.contains(id) && treeItemAllows(id);
    }
    return false;
}

// The tree rule: the item concerned must exist; unregistering needs a root, deleting and the
// inside clipboard an item below one.
bool CMainFrame::treeItemAllows(int id) const
{
    const QTreeWidgetItem* item = m_tree->currentItem();
    if (!item) {
        return false;
    }
    const bool root = item->parent() == nullptr;
    if (id == Command::Unregister) {
        return root;
    }
    if (id == Command::Delete || id == Command::Cut || id == Command::Copy) {
        return !root;
    }
    return true;
}

bool CMainFrame::commandEnabled(int id) const
{
    MainWindowServices& services = MainWindowServices::instance();
    if (id == Command::Stop) {
        return services.isAbortable();
    }
    if (id == Command::Exit || id == Command::ListView) {
        return true;
    }
    const CommandEntry* entry = FindCommand(id);
    if (entry && entry->general && services.IsBusy()) {
        return false;
    }
    if (entry && entry->takeOutOnlyBlocks && m_takeOutOnly) {
        return false;
    }
    const bool rootShown = !m_contents->selectedRootPath().isEmpty();
    switch (id) {
    case Command::Login:
        return !services.isAbortable() && m_tree->currentItem() && !m_tree->currentItem()->parent() &&
               !rootShown;
    case Command::Logout:
        return !services.isAbortable() && m_tree->currentItem() && rootShown;
    case Command::UpFolder:
        return !services.isAbortable() && rootShown &&
               m_contents->shownFolderPath() != m_contents->selectedRootPath();
    case Command::SwitchView:
        return !services.isAbortable() && rootShown;
    case Command::ReflectAll:
        return !services.isAbortable() && m_decrypted->topLevelItemCount() > 0;
    case Command::ReflectSelected:
        return m_decrypted->hasFocus() && !m_decrypted->selectedItems().isEmpty();
    case Command::EraseSelected:
        return !m_decrypted->selectedItems().isEmpty();
    case Command::SelectAll:
    case Command::IconView:
    case Command::DetailView:
    case Command::Refresh:
    case Command::ToggleDragEncrypted:
    case Command::PlainFileCheck:
        return rootShown;
    case Command::Unregister:
    case Command::Backup:
        return selectionAllows(id) && treeItemAllows(id);
    case Command::Paste:
    case Command::Properties:
    case Command::Delete:
    case Command::Cut:
    case Command::Copy:
        return selectionAllows(id);
    case Command::Undo:
        return false; // an undo record arrives with the operations that make one
    default:
        return ItemCommands.contains(id) ? selectionAllows(id) : true;
    }
}

void CMainFrame::updateCommandStates()
{
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        it.value()->setEnabled(commandEnabled(it.key()));
    }
    if (QAction* icon = m_actions.value(Command::IconView)) {
        icon->setChecked(m_settings.DispMode == 0);
    }
    if (QAction* detail = m_actions.value(Command::DetailView)) {
        detail->setChecked(m_settings.DispMode == 2);
    }
    if (QAction* watch = m_actions.value(Command::ToggleWatch)) {
        watch->setChecked(m_settings.ExecProcEndWaitFlg == 0);
    }
    if (QAction* drag = m_actions.value(Command::ToggleDragEncrypted)) {
        drag->setChecked(m_settings.DandDDecryFlg == 0);
    }
    if (QAction* paste = m_actions.value(Command::Paste)) {
        // Files on the system clipboard are encrypted in; the store's own items are pasted.
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        const bool files = data && data->hasUrls();
        paste->setText(files ? QStringLiteral("暗号化して貼り付け(&P)") : QStringLiteral("貼り付け(&P)"));
    }
}

void CMainFrame::onCommand(int id)
{
    switch (id) {
    case Command::Exit:
        close();
        return;
    case Command::Stop:
        MainWindowServices::instance().RequestCancel();
        return;
    case Command::IconView:
        m_settings.DispMode = 0;
        break;
    case Command::ListView:
        m_settings.DispMode = 1;
        break;
    case Command::DetailView:
        m_settings.DispMode = 2;
        break;
    case Command::SwitchView:
        m_settings.DispMode = m_settings.DispMode != 0 ? 0 : 2;
        break;
    case Command::ToggleWatch:
        m_settings.ExecProcEndWaitFlg = m_settings.ExecProcEndWaitFlg == 0 ? 1 : 0;
        break;
    case Command::ToggleDragEncrypted:
        m_settings.DandDDecryFlg = m_settings.DandDDecryFlg == 0 ? 1 : 0;
        break;
    case Command::HomePage:
        QDesktopServices::openUrl(QUrl(CD90Kbx::HomePage));
        break;
    case Command::About: {
        CD90Kbx about(this);
        about.exec();
        break;
    }
    case Command::Help: {
        const QString manual = QCoreApplication::applicationDirPath() + QStringLiteral("/manual/index.html");
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(manual))) {
            ShowMessage(QStringLiteral("ヘルプが見つかりません　"), MessageStyle::warning());
        }
        break;
    }
    default:
        break;
    }
    emit commandTriggered(id);
    updateCommandStates();
}

void CMainFrame::onBusyChanged(bool busy)
{
    for (QMenu* menu : m_menus) {
        menu->menuAction()->setEnabled(!busy);
    }
    m_frame = busy ? 2 : 0;
    m_panes.at(2)->setPixmap(BusyAnimation::frame(m_frame));
    if (!busy) {
        m_panes.at(0)->clear();
    }
    updateCommandStates();
}

void CMainFrame::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_statusTimer.timerId()) {
        QMainWindow::timerEvent(event);
        return;
    }
    MainWindowServices& services = MainWindowServices::instance();
    services.enterTimerHandler();
    statusTick();
    services.leaveTimerHandler();
}

void CMainFrame::statusTick()
{
    MainWindowServices& services = MainWindowServices::instance();
    QLabel* text = m_panes.at(0);
    if (services.IsBusy()) {
        if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
            m_panes.at(2)->setPixmap(BusyAnimation::frame(0));
            text->clear();
            return;
        }
        m_frame = m_frame >= BusyAnimation::FrameCount - 1 ? 1 : m_frame + 1;
        m_panes.at(2)->setPixmap(BusyAnimation::frame(m_frame));
        text->setText(services.busyText().isEmpty() ? MsgA(638) : services.busyText());
        return;
    }
    const QString current = text->text();
    if (current == LoadText(IdleText) || current.isEmpty() || current == m_lastIdleText) {
        const QString idle = m_contents->ContentsStatusText();
        if (idle != current) {
            text->setText(idle);
        }
        m_lastIdleText = idle;
    }
    updateCommandStates();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (MainWindowServices::instance().IsBusy()) {
        ShowMessage(MsgA(182), MessageStyle::information());
        event->ignore();
        return;
    }
    QString list;
    if (m_copies && m_copies->ListFoldersWithDecryptedFiles(&list) != 0) {
        // Decrypted copies are still out: the user decides before anything goes.
        CD25ReturnMsg confirm(this);
        confirm.title = QStringLiteral("終了確認");
        confirm.text = MsgA(647);
        confirm.listText = list;
        confirm.buttonText = MsgA(648);
        if (confirm.exec() != QDialog::Accepted) {
            event->ignore();
            return;
        }
        // Reflecting every folder's copies back is routed to the decrypted-files operations.
        emit commandTriggered(Command::ReflectAll);
    }
    if (!m_closing) {
        m_closing = true;
        StopBackgroundWork();
        closingHousekeeping(true);
    }
    event->accept();
}

void CMainFrame::StopBackgroundWork()
{
    MainWindowServices& services = MainWindowServices::instance();
    services.RequestShutdown();
    WaitPumping(20);
    m_statusTimer.stop();
    WaitPumping(20);
    for (int i = 0; i < 20 && services.runningTimerHandlers() > 0; ++i) {
        WaitPumping(50);
    }
    WaitPumping(20);
}

void CMainFrame::closingHousekeeping(bool withMessages)
{
    if (!m_areas) {
        return;
    }
    m_areas->CleanScratchAreas(withMessages);
    m_areas->CleanTakeOutAreas(withMessages);
}

void CMainFrame::saveOnExit()
{
    if (m_saved) {
        return;
    }
    m_saved = true;
    m_settings.SizeMfMax = isMaximized() ? 1 : 0;
    if (!isMaximized() && isVisible()) {
        m_settings.SizeMfWidth = width();
        m_settings.SizeMfHigh = height();
    }
    const QList<int> sizes = m_splitter->sizes();
    if (sizes.size() == 3) {
        m_settings.SizeTvWidth = sizes.at(0);
        m_settings.SizeLv2Width = sizes.at(2);
    }
    SaveSettingsAtExit(m_settings, m_dataFolder);
    if (m_common2 && m_common2->isLoaded() && m_common2->SaveCommon2() != 0) {
        ShowMessage(MsgA(155), MessageStyle::error());
    }
}
