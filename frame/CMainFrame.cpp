#include "frame/CMainFrame.h"

#include "app/ShellFileTypes.h"
#include "dialogs/common/CD90Kbx.h"
#include "dialogs/confirmation/CD23Wait2.h"
#include "dialogs/confirmation/CD25ReturnMsg.h"
#include "engine/ContainerCrypt.h"
#include "engine/CryptEngine.h"
#include "frame/BusyAnimation.h"
#include "frame/BusyInputFilter.h"
#include "frame/ManualLocation.h"
#include "frame/PaneCycling.h"
#include "frame/ToolbarIcons.h"
#include "frame/commands/CommandRules.h"
#include "frame/commands/CommandTable.h"
#include "frame/tree/CTreeV.h"
#include "operations/encrypt/DroppedFiles.h"
#include "operations/encrypt/EncryptFilesIn.h"
#include "operations/encrypt/EncryptPlainFiles.h"
#include "operations/open/ReflectCopies.h"
#include "operations/takeout/TakeOut.h"
#include "operations/tools/FolderProblems.h"
#include "store/datafiles/DataFolder.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/MetadataLocation.h"
#include "store/working/DecryptedCopies.h"
#include "store/working/StoreAreas.h"
#include "store/working/WorkingCopyPaths.h"
#include "util/EventPump.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PromptService.h"
#include "util/ResultCodes.h"
#include "util/StringTable.h"
#include "views/contents/CListV.h"
#include "views/contents/ContentsMenus.h"
#include "views/contents/ContentsModel.h"
#include "views/decrypted/CListV2.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
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
    : QMainWindow(parent), m_store(dataFolder.isEmpty() ? DataFolderPath() : dataFolder,
                                   CryptEngine::instance(), ContainerCrypt::instance())
{
    g_frame = this;
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(LoadText(57344));
    MainWindowServices::instance().reset();
    buildPanes();
    buildMenus();
    buildToolbar();
    buildStatusBar();
    routeWindowCommands();
    if (m_store.Start() != 0) {
        return;
    }
    m_newFileTypes = ListNewFileTypes();
    connectPanes();
    const SettingsRecord& settings = m_store.settings();
    resize(m_store.hadSettings() ? settings.SizeMfWidth : DefaultWidth,
           m_store.hadSettings() ? settings.SizeMfHigh : DefaultHeight);
    const int tree = qMax(MinimumColumn, settings.SizeTvWidth);
    const int list = qMax(MinimumColumn, settings.SizeMfWidth - settings.SizeTvWidth - settings.SizeLv2Width);
    m_splitter->setSizes({tree, list, qMax(MinimumColumn, settings.SizeLv2Width)});

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

int CMainFrame::StartUpWork()
{
    m_store.areas().CleanScratchAreas(true);
    QString list;
    if (m_store.copies().ListFoldersWithDecryptedFiles(&list) != 0) {
        ShowMessage(MsgA(143) + list, MessageStyle::information());
    }
    m_tree->FillFolderTree();
    int count = 0;
    m_store.folders().CountRegisteredFolders(&count);
    if (count == 0) {
        // Nothing registered yet: the guidance of a first registration.
        m_tree->RunGuidance();
    }
    updateCommandStates();
    return 0;
}

void CMainFrame::connectPanes()
{
    m_decrypted->attach(m_store);
    m_decrypted->commandAvailable = [this](int id) { return m_router.isRouted(id); };
    connect(m_decrypted, &CListV2::commandRequested, this, [this](int id) {
        if (m_router.isRouted(id)) {
            runCommand(id);
        }
    });
    m_monitor.programEnded = [this](const QString& copy) {
        const int result = ReflectCopies(m_store).OnWatchedProgramEnded(copy);
        m_decrypted->RequestDecryptedRefresh();
        m_contents->RequestContentsRefresh();
        return result;
    };
    m_tree->reflectFolder = [this](const QString& root) {
        const int result = ReflectCopies(m_store).ReflectAll(root, true);
        m_decrypted->RequestDecryptedRefresh();
        return result;
    };
    // Files that show the same name cannot be told apart: only "このまま取り出す" is offered.
    connect(m_tree, &CTreeV::loggedIn, this, [this](const QString& root) {
        FolderProblemReport report;
        ScanFolderForProblems(m_store, root, false, true, &report);
        m_takeOutOnly = report.duplicates;
    });
    connect(m_tree, &CTreeV::folderShown, this, [this](const QString& root) {
        if (root.isEmpty()) {
            m_decrypted->StopWatchingDecrypted();
            return;
        }
        m_decrypted->WatchDecryptedFolder(m_store.copies().WorkingCopyArea(root, 0));
    });
    m_contents->attach(m_store);
    m_tree->attach(m_store, m_contents);
    auto available = [this](int id) { return m_router.isRouted(id); };
    m_contents->commandAvailable = available;
    m_tree->availableCommand = available;
    m_contents->takeOutOnly = [this] { return m_takeOutOnly; };
    m_contents->pasteText = [this] {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        return data && data->hasUrls() ? QStringLiteral("暗号化して貼り付け(&P)") : QString();
    };
    connect(m_contents, &CListV::commandRequested, this, [this](int id) {
        if (m_router.isRouted(id)) {
            runCommand(id);
        }
    });
    connect(m_tree, &CTreeV::commandRequested, this, [this](int id) {
        if (m_router.isRouted(id)) {
            runCommand(id);
        }
    });
    connect(m_contents, &CListV::filesDropped, this,
            [this](int command, const QString& destination, const QStringList& paths) {
                encryptInto(command == ListCommand::DropEncryptMove ? EncryptFilesIn::Move
                                                                    : EncryptFilesIn::Copy,
                            destination, paths);
            });
    connect(m_contents, &CListV::openFolderRequested, this,
            [this](const QString& path) { m_tree->SelectFolder(path); });
    connect(m_contents, &CListV::subfoldersChanged, m_tree, &CTreeV::RebuildFolderItems);
    connect(m_tree, &CTreeV::closeRequested, this,
            [this] { QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection); });
    connect(m_tree, &CTreeV::folderShown, this, [this] { updateCommandStates(); });
}

int CMainFrame::encryptInto(int mode, const QString& destination, const QStringList& paths)
{
    EncryptFilesIn encryptIn(m_store);
    int result = Result::Failed;
    {
        BusyScope busy(true);
        result = encryptIn.Run(EncryptFilesIn::Mode(mode), destination, paths);
    }
    if (encryptIn.foldersChanged()) {
        m_tree->RebuildFolderItems();
    }
    m_contents->RequestContentsRefresh();
    return result;
}

int CMainFrame::pasteFiles()
{
    const QString destination = m_contents->shownFolderPath();
    if (destination.isEmpty() || m_store.folders().IsReadOnlyFolder(destination, 1) != 0) {
        return Result::Failed;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard->mimeData();
    DroppedFiles files;
    if (!data || !ReadDroppedFiles(*data, &files)) {
        ShowMessage(MsgA(130), MessageStyle::error());
        return Result::Failed;
    }
    const int result =
        encryptInto(files.cut ? EncryptFilesIn::Move : EncryptFilesIn::Copy, destination, files.paths);
    if (files.cut) {
        clipboard->clear(); // the files have moved: a second paste has nothing to bring
    }
    return result;
}

OpenFiles CMainFrame::openFiles()
{
    OpenFiles open(m_store);
    open.takeOutOnly = m_takeOutOnly;
    open.imageViewer = QCoreApplication::applicationDirPath() + QStringLiteral("/kurabox");
    open.programStarted = [this](const QString& copy, qint64 pid, const QString& program) {
        m_monitor.RegisterLaunchedProgram(copy, pid, program);
    };
    open.copiesChanged = [this] { m_decrypted->RequestDecryptedRefresh(); };
    return open;
}

QStringList CMainFrame::selectedContents(bool filesOnly) const
{
    QStringList paths;
    const ContentsModel* model = m_contents->contentsModel();
    for (int row : m_contents->selectedRowsInOrder()) {
        if (!filesOnly || !model->isFolderRow(row)) {
            paths.append(model->text(row, ContentsModel::FullPath));
        }
    }
    return paths;
}

int CMainFrame::openSelection(const QString& program)
{
    const QStringList files = selectedContents(true);
    if (files.isEmpty()) {
        return Result::Failed;
    }
    BusyScope busy;
    OpenFiles open = openFiles();
    if (program.isEmpty()) {
        open.ShowOpenNotice();
    }
    for (const QString& file : files) {
        OpenFiles::Request request;
        request.path = file;
        request.program = program;
        // A chosen program goes on with the next file after a failure; the default stops.
        if (open.OpenEncryptedFile(request) != 0 && program.isEmpty()) {
            return Result::Failed;
        }
    }
    return Result::Ok;
}

int CMainFrame::reflectEveryFolder()
{
    QString list;
    QStringList roots;
    if (m_store.copies().ListFoldersWithDecryptedFiles(&list, &roots) == 0) {
        return Result::Ok;
    }
    int result = Result::Ok;
    BusyScope busy;
    for (const QString& root : std::as_const(roots)) {
        const int done = m_store.folders().IsReadOnlyFolder(root, 0) != 0
                             ? m_store.copies().DiscardDecryptedFiles(root, DecryptedCopies::AnnounceLoss)
                             : ReflectCopies(m_store).ReflectAll(root, true);
        if (done != 0) {
            result = Result::Failed;
        }
    }
    return result;
}

void CMainFrame::routeOpenCommands()
{
    m_router.route(ListCommand::Open, [this] { return openSelection(QString()); });
    m_router.route(Command::Open, [this] { return openSelection(QString()); });
    for (int i = 0; i < ListCommand::OpenWithCount; ++i) {
        m_router.route(ListCommand::OpenWithFirst + i,
                       [this, i] { return openSelection(m_contents->openWithPrograms().value(i)); });
    }
    auto decryptOnly = [this] {
        BusyScope busy;
        return openFiles().DecryptSelection(selectedContents(false), true, true, true, false);
    };
    m_router.route(ListCommand::DecryptOnly, decryptOnly);
    m_router.route(Command::DecryptOnly, decryptOnly);
    auto reflectSelected = [this] {
        const QString root = m_contents->selectedRootPath();
        if (!root.isEmpty() && m_store.folders().IsReadOnlyFolder(root, 1) != 0) {
            return Result::Failed;
        }
        if (ShowSettingNotice(&settings().ReturnAngoMsgFlg, MsgA(134), MsgA(135)) != 0) {
            return Result::Failed;
        }
        int result = Result::Failed;
        {
            BusyScope busy;
            result = ReflectCopies(m_store).ReflectSelected(m_decrypted->selectedCopies());
        }
        m_decrypted->RequestDecryptedRefresh();
        m_contents->RequestContentsRefresh();
        return result;
    };
    m_router.route(Command::ReflectSelected, reflectSelected);
    m_router.route(CListV2::ReflectSelectedCommand, reflectSelected);
    auto reflectAll = [this] {
        const QString root = m_contents->selectedRootPath();
        if (root.isEmpty()) {
            return Result::Failed;
        }
        int result = Result::Failed;
        {
            BusyScope busy;
            result = m_store.folders().IsReadOnlyFolder(root, 0) != 0
                         ? m_store.copies().DiscardDecryptedFiles(root, DecryptedCopies::AnnounceLoss)
                         : ReflectCopies(m_store).ReflectAll(root, false);
        }
        m_decrypted->RequestDecryptedRefresh();
        m_contents->RequestContentsRefresh();
        return result;
    };
    m_router.route(Command::ReflectAll, reflectAll);
    m_router.route(CListV2::ReflectAllCommand, reflectAll);
    m_router.route(Command::EraseSelected, [this] {
        const int result = ReflectCopies(m_store).EraseSelected(m_decrypted->selectedCopies());
        m_decrypted->RequestDecryptedRefresh();
        return result;
    });
    m_router.route(CListV2::GoToLocation, [this] {
        const QStringList copies = m_decrypted->selectedCopies();
        if (copies.size() != 1) {
            return Result::Failed;
        }
        QString proposal;
        const QString container = m_store.copyPaths().ContainerPathOf(copies.first(), true, &proposal);
        if (MetadataLocation::IsNoLocation(container)) {
            return Result::Failed;
        }
        const QString folder = QFileInfo(container.isEmpty() ? proposal : container).path();
        return m_tree->SelectFolder(folder) ? Result::Ok : Result::Failed;
    });
}

int CMainFrame::takeOut(int type)
{
    const QStringList items = selectedContents(false);
    if (items.isEmpty()) {
        return Result::Failed;
    }
    int result = Result::Failed;
    bool removed = false;
    {
        BusyScope busy;
        OpenFiles open = openFiles();
        TakeOut operation(m_store, open);
        operation.reflect = [this](const QStringList& copies) {
            return ReflectCopies(m_store).ReflectSelected(copies);
        };
        result = operation.Run(TakeOut::Type(type), items);
        removed = operation.removedOriginals();
    }
    m_decrypted->RequestDecryptedRefresh();
    m_contents->RequestContentsRefresh();
    if (removed) {
        m_tree->RebuildFolderItems();
    }
    return result;
}

void CMainFrame::connectDragOut()
{
    m_contents->prepareDragOut = [this](const QStringList& items) {
        m_dragOpen = std::make_unique<OpenFiles>(openFiles());
        m_dragTakeOut = std::make_unique<TakeOut>(m_store, *m_dragOpen);
        m_dragTakeOut->reflect = [this](const QStringList& copies) {
            return ReflectCopies(m_store).ReflectSelected(copies);
        };
        BusyScope busy;
        CD23Wait2 wait(this); // shows itself only when the copies take a while
        QStringList copies;
        if (m_dragTakeOut->PrepareDragOut(items, &copies, &m_dragError) != 0) {
            return QStringList();
        }
        return copies;
    };
    m_contents->finishDragOut = [this](const QStringList& items, const QStringList& copies, bool prepared) {
        if (prepared && m_dragTakeOut) {
            BusyScope busy;
            if (copies.isEmpty()) {
                m_dragTakeOut->AbandonDragOut();
            } else {
                m_dragTakeOut->FinishDragOut(items, copies);
            }
        }
        const bool removed = m_dragTakeOut && m_dragTakeOut->removedOriginals();
        m_dragTakeOut.reset();
        m_dragOpen.reset();
        if (!m_dragError.isEmpty()) {
            ShowMessage(m_dragError, MessageStyle::warning());
            m_dragError.clear();
        }
        m_decrypted->RequestDecryptedRefresh();
        m_contents->RequestContentsRefresh();
        if (removed) {
            m_tree->RebuildFolderItems();
        }
    };
}

void CMainFrame::routeTakeOutCommands()
{
    connectDragOut();
    const struct
    {
        int menu;
        int list;
        int type;
    } routes[] = {
        {Command::TakeOut, ListCommand::TakeOut, TakeOut::Decrypted},
        {Command::Mail, ListCommand::Mail, TakeOut::DecryptedForMail},
        {Command::TakeOutEncrypted, ListCommand::TakeOutEncrypted, TakeOut::Encrypted},
        {Command::TakeOutNewPassword, ListCommand::TakeOutNewPassword, TakeOut::NewPassword},
        {Command::MailNewPassword, ListCommand::MailNewPassword, TakeOut::NewPasswordForMail},
        {ListCommand::TakeOutAsIs, ListCommand::TakeOutAsIsOnly, TakeOut::Unchanged},
    };
    for (const auto& route : routes) {
        m_router.route(route.menu, [this, type = route.type] { return takeOut(type); });
        m_router.route(route.list, [this, type = route.type] { return takeOut(type); });
    }
    // In the take-out-only state: hand the entries out, then look again whether it still holds.
    m_router.route(ListCommand::TakeOutAsIsOnly, [this] {
        const int result = takeOut(TakeOut::Unchanged);
        const QString shown = m_contents->shownFolderPath();
        if (!shown.isEmpty()) {
            FolderProblemReport report;
            ScanFolderForProblems(m_store, shown, false, false, &report);
            m_takeOutOnly = report.duplicates;
            m_contents->ShowFolder(shown, m_contents->selectedRootPath());
        }
        return result;
    });
}

void CMainFrame::routeFolderCommands()
{
    routeOpenCommands();
    routeTakeOutCommands();
    m_router.route(Command::Paste, [this] { return pasteFiles(); });
    m_router.route(ListCommand::Paste, [this] { return pasteFiles(); });
    m_router.route(ListCommand::Encrypt, [this] {
        QStringList files;
        for (int row : m_contents->selectedRowsInOrder()) {
            files.append(m_contents->contentsModel()->text(row, ContentsModel::FullPath));
        }
        int result = Result::Failed;
        {
            BusyScope busy(true);
            result = EncryptPlainFiles(m_store, m_contents->shownFolderPath(), files);
        }
        m_contents->RequestContentsRefresh();
        return result;
    });
    m_router.route(Command::Register, [this] { return m_tree->StartRegistration(); });
    m_router.route(CTreeV::RegisterCommand, [this] { return m_tree->StartRegistration(); });
    m_router.route(Command::Unregister, [this] { return m_tree->UnregisterConcerned(); });
    m_router.route(CTreeV::UnregisterRoot, [this] { return m_tree->UnregisterConcerned(); });
    m_router.route(Command::Login, [this] { return m_tree->LoginSelectedFolder(); });
    m_router.route(Command::Logout, [this] { return m_tree->LogoutSelectedFolder(); });
    m_router.route(Command::Refresh, [this] {
        const QString shown = m_contents->shownFolderPath();
        return shown.isEmpty() ? Result::Failed : m_contents->FillContents(shown);
    });
    m_router.route(Command::UpFolder, [this] {
        const QString shown = m_contents->shownFolderPath();
        if (shown.isEmpty() || shown == m_contents->selectedRootPath()) {
            return Result::Failed;
        }
        return m_tree->SelectFolder(QFileInfo(shown).path()) ? Result::Ok : Result::Failed;
    });
    m_router.route(Command::SelectAll, [this] {
        m_contents->selectAll();
        return Result::Ok;
    });
    m_router.route(ListCommand::OpenFolder, [this] {
        // Folders only; files are opened by the open command once it is routed.
        const ContentsModel* model = m_contents->contentsModel();
        for (int row : m_contents->selectedRowsInOrder()) {
            if (model->isFolderRow(row)) {
                return m_tree->SelectFolder(model->text(row, ContentsModel::FullPath)) ? Result::Ok
                                                                                       : Result::Failed;
            }
        }
        return Result::Failed;
    });
    m_router.route(CTreeV::DeleteFolder, [this] {
        return m_tree->DeleteSelectedSubfolder(QGuiApplication::keyboardModifiers() & Qt::ShiftModifier);
    });
    m_router.route(Command::Delete, [this] {
        // The list's delete arrives with the inside operations; the tree deletes its subfolder.
        if (!m_tree->hasFocus()) {
            return Result::Failed;
        }
        return m_tree->DeleteSelectedSubfolder(QGuiApplication::keyboardModifiers() & Qt::ShiftModifier);
    });
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
        settings().SizeTvWidth = sizes.at(0);
        settings().SizeLv2Width = sizes.at(2);
    });
    QList<QWidget*> order;
    for (QAbstractScrollArea* pane : panes()) {
        pane->viewport()->installEventFilter(this);
        order.append(pane);
    }
    InstallPaneCycling(this, order);
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
    const SettingsRecord& settings = m_store.settings();
    const int tree = qMax(MinimumColumn, settings.SizeTvWidth);
    const int contents = qMax(MinimumContents, width() - tree - settings.SizeLv2Width - Margin);
    m_splitter->setSizes({tree, contents, qMax(MinimumColumn, settings.SizeLv2Width)});
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
        action->setCheckable(entry.checkable);
        connect(action, &QAction::triggered, this, [this, id = entry.id] { runCommand(id); });
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
            action = new QAction(ToolbarTip(id), this);
            action->setData(id);
            connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
            m_actions.insert(id, action);
        }
        action->setToolTip(ToolbarTip(id));
        action->setIcon(ToolbarIcon(id));
        m_toolbar->addAction(action);
        // The buttons show only their pictures; a screen reader reads the command instead.
        m_toolbar->widgetForAction(action)->setAccessibleName(ToolbarTip(id));
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

PaneState CMainFrame::paneState() const
{
    const MainWindowServices& services = MainWindowServices::instance();
    PaneState state;
    state.busy = services.IsBusy();
    state.abortable = services.isAbortable();
    state.takeOutOnly = m_takeOutOnly;
    if (m_tree->hasFocus()) {
        state.focus = PaneState::Tree;
    } else if (m_contents->hasFocus()) {
        state.focus = PaneState::Contents;
    } else if (m_decrypted->hasFocus()) {
        state.focus = PaneState::Decrypted;
    }
    state.contentsSelected = m_contents->selectedRowCount();
    const QModelIndex item = m_tree->itemConcerned();
    state.treeItem = item.isValid();
    state.treeItemIsRoot = item.isValid() && !item.parent().isValid();
    state.rootShown = !m_contents->selectedRootPath().isEmpty();
    state.shownFolderIsRoot = m_contents->shownFolderPath() == m_contents->selectedRootPath();
    state.decryptedRows = m_decrypted->rowCount();
    state.decryptedSelected = m_decrypted->selectedRowCount();
    state.undoAvailable = false; // an undo record arrives with the operations that make one
    return state;
}

void CMainFrame::updateCommandStates()
{
    const PaneState state = paneState();
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        it.value()->setEnabled(CommandEnabled(it.key(), state));
    }
    const SettingsRecord& values = m_store.settings();
    if (QAction* icon = m_actions.value(Command::IconView)) {
        icon->setChecked(values.DispMode == 0);
    }
    if (QAction* detail = m_actions.value(Command::DetailView)) {
        detail->setChecked(values.DispMode == 2);
    }
    if (QAction* watch = m_actions.value(Command::ToggleWatch)) {
        watch->setChecked(values.ExecProcEndWaitFlg == 0);
    }
    if (QAction* drag = m_actions.value(Command::ToggleDragEncrypted)) {
        drag->setChecked(values.DandDDecryFlg == 0);
    }
    if (QAction* paste = m_actions.value(Command::Paste)) {
        // Files on the system clipboard are encrypted in; the store's own items are pasted.
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        const bool files = data && data->hasUrls();
        paste->setText(files ? QStringLiteral("暗号化して貼り付け(&P)") : QStringLiteral("貼り付け(&P)"));
    }
}

int CMainFrame::runCommand(int id)
{
    const int result = m_router.run(id);
    updateCommandStates();
    return result;
}

int CMainFrame::toggleSetting(int* field)
{
    *field = *field == 0 ? 1 : 0;
    return Result::Ok;
}

// The commands the window carries out itself; the panes and operations route their own.
void CMainFrame::routeWindowCommands()
{
    m_router.route(Command::Exit, [this] { return close() ? Result::Ok : Result::Failed; });
    m_router.route(Command::Stop, [] {
        MainWindowServices::instance().RequestCancel();
        return Result::Ok;
    });
    auto viewMode = [this](int mode) {
        return [this, mode] {
            settings().DispMode = mode;
            m_contents->SetContentsViewMode(mode);
            return Result::Ok;
        };
    };
    m_router.route(Command::IconView, viewMode(0));
    m_router.route(Command::ListView, viewMode(1));
    m_router.route(Command::DetailView, viewMode(2));
    m_router.route(Command::SwitchView, [this] {
        settings().DispMode = settings().DispMode != 0 ? 0 : 2;
        m_contents->SetContentsViewMode(settings().DispMode);
        return Result::Ok;
    });
    routeFolderCommands();
    m_router.route(Command::ToggleWatch, [this] { return toggleSetting(&settings().ExecProcEndWaitFlg); });
    m_router.route(Command::ToggleDragEncrypted, [this] { return toggleSetting(&settings().DandDDecryFlg); });
    m_router.route(Command::HomePage, [] {
        return QDesktopServices::openUrl(QUrl(CD90Kbx::HomePage)) ? Result::Ok : Result::Failed;
    });
    m_router.route(Command::About, [this] {
        CD90Kbx about(this);
        about.exec();
        return Result::Ok;
    });
    m_router.route(Command::Help, [] {
        const QString manual = ManualPath(QCoreApplication::applicationDirPath());
        if (manual.isEmpty() || !QDesktopServices::openUrl(QUrl::fromLocalFile(manual))) {
            ShowMessage(QStringLiteral("ヘルプが見つかりません　"), MessageStyle::warning());
            return Result::Failed;
        }
        return Result::Ok;
    });
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
    if (m_store.isStarted() && m_store.copies().ListFoldersWithDecryptedFiles(&list) != 0) {
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
        // Every folder's copies are reflected back by the decrypted-files operations once they
        // are routed; a failure leaves the choice to the user.
        if (reflectEveryFolder() != Result::Ok &&
            ShowMessage(MsgA(649), MessageStyle::question(MsgButton::No)) != MsgButton::Yes) {
            event->ignore();
            return;
        }
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
    m_contents->StopContentsWatcher();
    m_decrypted->StopDecryptedWatcher();
    m_monitor.stop();
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
    if (!m_store.isStarted()) {
        return;
    }
    m_store.areas().CleanScratchAreas(withMessages);
    m_store.areas().CleanTakeOutAreas(withMessages);
}

void CMainFrame::saveOnExit()
{
    if (m_store.isSaved()) {
        return;
    }
    SettingsRecord& settings = m_store.settings();
    settings.SizeMfMax = isMaximized() ? 1 : 0;
    if (!isMaximized() && isVisible()) {
        settings.SizeMfWidth = width();
        settings.SizeMfHigh = height();
    }
    const QList<int> sizes = m_splitter->sizes();
    if (sizes.size() == 3) {
        settings.SizeTvWidth = sizes.at(0);
        settings.SizeLv2Width = sizes.at(2);
    }
    m_store.Save();
}
