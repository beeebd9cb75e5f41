#include "frame/MainWindow.h"

#include "dialogs/common/AboutDialog.h"
#include "dialogs/confirmation/StillDecryptedDialog.h"
#include "engine/ContainerCrypt.h"
#include "engine/CryptEngine.h"
#include "frame/BusyInputFilter.h"
#include "frame/HelpOpening.h"
#include "frame/IdleUpdates.h"
#include "frame/ManualLocation.h"
#include "frame/PaneCycling.h"
#include "frame/PaneFocus.h"
#include "frame/commands/CommandRules.h"
#include "frame/commands/CommandTable.h"
#include "frame/panes/ContentsCommands.h"
#include "frame/panes/DecryptedCommands.h"
#include "frame/panes/InsideCommands.h"
#include "frame/panes/ToolCommands.h"
#include "frame/panes/TreeCommands.h"
#include "frame/tree/FolderTreeView.h"
#include "store/datafiles/DataFolder.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/working/DecryptedCopies.h"
#include "store/working/StoreAreas.h"
#include "util/EventPump.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"
#include "util/StringTable.h"
#include "views/contents/ContentsMenus.h"
#include "views/contents/ContentsView.h"
#include "views/decrypted/DecryptedFilesView.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSplitter>
#include <QToolBar>
#include <QWheelEvent>

namespace {

MainWindow* g_frame = nullptr;

constexpr int DefaultWidth = 775;
constexpr int DefaultHeight = 520;
constexpr int MinimumColumn = 10;
constexpr int SplitterBar = 4;
constexpr int MinimumTree = 50;
constexpr int MinimumDecrypted = 32;

} // namespace

MainWindow* MainWindow::instance()
{
    return g_frame;
}

MainWindow::MainWindow(const QString& dataFolder, QWidget* parent)
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
    connectPanes();
    const SettingsRecord& settings = m_store.settings();
    resize(m_store.hadSettings() ? settings.SizeMfWidth : DefaultWidth,
           m_store.hadSettings() ? settings.SizeMfHigh : DefaultHeight);
    const int tree = qMax(MinimumColumn, settings.SizeTvWidth);
    const int list = qMax(MinimumColumn, settings.SizeMfWidth - settings.SizeTvWidth - settings.SizeLv2Width);
    m_splitter->setSizes({tree, list, qMax(MinimumColumn, settings.SizeLv2Width)});

    connect(&MainWindowServices::instance(), &MainWindowServices::busyChanged, this,
            &MainWindow::onBusyChanged);
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
        // The session is ending: nothing is asked and nothing is reflected.
        StopBackgroundWork();
        closingHousekeeping(false);
        saveOnExit();
    });
    m_inputFilter = new BusyInputFilter(this, this);
    m_inputFilter->setStopButton(m_toolbar->widgetForAction(m_actions.value(Command::Stop)));
    qApp->installEventFilter(m_inputFilter);
    m_idle = new IdleUpdates([this] { idleUpdate(); }, this);
    for (QAbstractItemView* pane :
         std::initializer_list<QAbstractItemView*>{m_tree, m_contents, m_decrypted}) {
        m_idle->follow(pane);
    }
    m_idle->schedule();
    m_created = true;
}

MainWindow::~MainWindow()
{
    if (m_created) {
        saveOnExit();
    }
    if (g_frame == this) {
        g_frame = nullptr;
    }
}

int MainWindow::StartUpWork()
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

void MainWindow::connectPanes()
{
    m_decrypted->attach(m_store);
    m_contents->attach(m_store);
    m_tree->attach(m_store, m_contents);
    auto available = [this](int id) { return m_router.isRouted(id); };
    m_decrypted->commandAvailable = available;
    m_contents->commandAvailable = available;
    m_tree->availableCommand = available;
    auto run = [this](int id) {
        if (m_router.isRouted(id)) {
            runCommand(id);
        }
    };
    connect(m_decrypted, &DecryptedFilesView::commandRequested, this, run);
    connect(m_contents, &ContentsView::commandRequested, this, run);
    connect(m_tree, &FolderTreeView::commandRequested, this, run);
    connect(m_tree, &FolderTreeView::closeRequested, this,
            [this] { QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection); });
    connect(m_tree, &FolderTreeView::folderShown, this, [this] { updateCommandStates(); });

    m_contentsCommands = new ContentsCommands(m_store, m_router, m_tree, m_contents, m_decrypted, this);
    m_decryptedCommands = new DecryptedCommands(m_store, m_router, m_tree, m_contents, m_decrypted, this);
    new TreeCommands(m_store, m_router, m_tree, m_decrypted, m_contentsCommands, this);
    m_insideCommands =
        new InsideCommands(m_store, m_router, m_tree, m_contents, m_contentsCommands, *m_paneFocus, this);
    // Delete acts on the pane that has the focus.
    m_router.route(Command::Delete, [this] {
        if (m_paneFocus->is(m_tree)) {
            return m_router.run(FolderTreeView::DeleteFolder);
        }
        if (m_paneFocus->is(m_contents) && m_router.isRouted(ListCommand::Delete)) {
            return m_router.run(ListCommand::Delete);
        }
        return Result::Failed;
    });
    new ToolCommands(m_store, m_router, m_tree, m_contents, m_decrypted, m_contentsCommands, this);
}

void MainWindow::buildPanes()
{
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("CUSplitterWnd"));
    m_tree = new FolderTreeView(m_splitter);
    m_contents = new ContentsView(m_splitter);
    m_decrypted = new DecryptedFilesView(m_splitter);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setSizes({100, 200, 100});
    setCentralWidget(m_splitter);
    m_splitter->setHandleWidth(SplitterBar);
    connect(m_splitter, &QSplitter::splitterMoved, this, [this] {
        // The widths the user gives the tree and the decrypted-files list are kept; the
        // contents list takes what is left.
        const QList<int> sizes = m_splitter->sizes();
        settings().SizeTvWidth = qMax(MinimumTree, sizes.at(0));
        settings().SizeLv2Width = qMax(MinimumDecrypted, sizes.at(2));
    });
    QList<QWidget*> order;
    for (QAbstractScrollArea* pane : panes()) {
        pane->setMinimumWidth(MinimumColumn); // the user may narrow any column almost away
        pane->viewport()->installEventFilter(this);
        order.append(pane);
    }
    InstallPaneCycling(this, order);
    m_paneFocus = new PaneFocus(order, this);
}

QList<QAbstractScrollArea*> MainWindow::panes() const
{
    return {m_tree, m_contents, m_decrypted};
}

void MainWindow::resizeEvent(QResizeEvent* event)
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
bool MainWindow::eventFilter(QObject* watched, QEvent* event)
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

PaneState MainWindow::paneState() const
{
    const MainWindowServices& services = MainWindowServices::instance();
    PaneState state;
    state.busy = services.IsBusy();
    state.abortable = services.isAbortable();
    state.takeOutOnly = m_contentsCommands && m_contentsCommands->takeOutOnly();
    const QWidget* pane = m_paneFocus->pane();
    if (pane == m_tree) {
        state.focus = PaneState::Tree;
    } else if (pane == m_contents) {
        state.focus = PaneState::Contents;
    } else if (pane == m_decrypted) {
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
    state.undoAvailable = m_insideCommands && m_insideCommands->undoAvailable();
    return state;
}

void MainWindow::updateCommandStates()
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
    if (!m_insideCommands) {
        return;
    }
    if (QAction* paste = m_actions.value(Command::Paste)) {
        // Files on the system clipboard are encrypted in; the store's own items are pasted.
        const QString text = m_insideCommands->pasteText();
        paste->setText(text.isEmpty() ? QStringLiteral("貼り付け(&P)") : text);
        if (text.isEmpty()) {
            paste->setEnabled(false);
        }
    }
    if (QAction* undo = m_actions.value(Command::Undo)) {
        const UndoRecord* newest = state.undoAvailable ? m_insideCommands->history().newest() : nullptr;
        undo->setText(UndoHistory::MenuText(newest).section(QLatin1Char('\t'), 0, 0));
        undo->setStatusTip(UndoHistory::StatusPrompt(newest));
    }
}

int MainWindow::runCommand(int id)
{
    const int result = m_router.run(id);
    updateCommandStates();
    return result;
}

int MainWindow::toggleSetting(int* field)
{
    *field = *field == 0 ? 1 : 0;
    return Result::Ok;
}

// The commands the window carries out itself; the panes and operations route their own.
void MainWindow::routeWindowCommands()
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
    m_router.route(Command::ToggleWatch, [this] { return toggleSetting(&settings().ExecProcEndWaitFlg); });
    m_router.route(Command::ToggleDragEncrypted, [this] { return toggleSetting(&settings().DandDDecryFlg); });
    m_router.route(Command::HomePage, [] { return OpenHomePage(AboutDialog::HomePage); });
    m_router.route(Command::About, [this] {
        AboutDialog about(this);
        about.exec();
        return Result::Ok;
    });
    m_router.route(Command::Help,
                   [] { return OpenManual(ManualPath(QCoreApplication::applicationDirPath())); });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (MainWindowServices::instance().IsBusy()) {
        ShowMessage(MsgA(182), MessageStyle::information());
        event->ignore();
        return;
    }
    QString list;
    if (m_store.isStarted() && m_store.copies().ListFoldersWithDecryptedFiles(&list) != 0) {
        // Decrypted copies are still out: the user decides before anything goes.
        StillDecryptedDialog confirm(this);
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
        if (m_decryptedCommands->ReflectEveryFolder() != Result::Ok &&
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

void MainWindow::StopBackgroundWork()
{
    MainWindowServices& services = MainWindowServices::instance();
    services.RequestShutdown();
    m_contents->StopContentsWatcher();
    m_decrypted->StopDecryptedWatcher();
    if (m_contentsCommands) {
        m_contentsCommands->stop();
    }
    WaitPumping(20);
    m_statusTimer.stop();
    WaitPumping(20);
    for (int i = 0; i < 20 && services.runningTimerHandlers() > 0; ++i) {
        WaitPumping(50);
    }
    WaitPumping(20);
}

void MainWindow::closingHousekeeping(bool withMessages)
{
    if (!m_store.isStarted()) {
        return;
    }
    m_store.areas().CleanScratchAreas(withMessages);
    m_store.areas().CleanTakeOutAreas(withMessages);
}

void MainWindow::saveOnExit()
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
        settings.SizeTvWidth = qMax(MinimumTree, sizes.at(0));
        settings.SizeLv2Width = qMax(MinimumDecrypted, sizes.at(2));
    }
    m_store.Save();
}
