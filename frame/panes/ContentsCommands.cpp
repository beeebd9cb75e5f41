#include "frame/panes/ContentsCommands.h"

#include "dialogs/confirmation/WaitWindow.h"
#include "frame/commands/CommandRouter.h"
#include "frame/commands/CommandTable.h"
#include "frame/tree/FolderTreeView.h"
#include "operations/common/StoreEntries.h"
#include "operations/encrypt/DroppedFiles.h"
#include "operations/encrypt/EncryptFilesIn.h"
#include "operations/encrypt/EncryptPlainFiles.h"
#include "operations/open/ReflectCopies.h"
#include "operations/tools/FolderProblems.h"
#include "store/StoreContext.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"
#include "views/contents/ContentsMenus.h"
#include "views/contents/ContentsModel.h"
#include "views/contents/ContentsView.h"
#include "views/decrypted/DecryptedFilesView.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>

ContentsCommands::ContentsCommands(StoreContext& store, CommandRouter& router, FolderTreeView* tree,
                                   ContentsView* contents, DecryptedFilesView* decrypted, QWidget* window)
    : QObject(window), m_store(store), m_router(router), m_tree(tree), m_contents(contents),
      m_decrypted(decrypted), m_window(window)
{
    m_monitor.programEnded = [this](const QString& copy) {
        const int result = ReflectCopies(m_store).OnWatchedProgramEnded(copy);
        refreshAfter(false);
        return result;
    };
    m_contents->takeOutOnly = [this] { return m_takeOutOnly; };
    connect(m_contents, &ContentsView::filesDropped, this,
            [this](int command, const QString& destination, const QStringList& paths) {
                encryptInto(command == ListCommand::DropEncryptMove ? EncryptFilesIn::Move
                                                                    : EncryptFilesIn::Copy,
                            destination, paths);
            });
    connect(m_tree, &FolderTreeView::filesDropped, this,
            [this](int command, const QString& destination, const QStringList& paths) {
                encryptInto(command == FolderTreeView::DropEncryptMove ? EncryptFilesIn::Move
                                                                       : EncryptFilesIn::Copy,
                            destination, paths);
            });
    connect(m_contents, &ContentsView::openFolderRequested, this,
            [this](const QString& path) { m_tree->SelectFolder(path); });
    connect(m_contents, &ContentsView::subfoldersChanged, m_tree, &FolderTreeView::RebuildFolderItems);
    routeOpen();
    routeTakeOut();
    routeEncrypt();
    routeNavigation();
}

ContentsCommands::~ContentsCommands() = default;

void ContentsCommands::stop()
{
    m_monitor.stop();
}

void ContentsCommands::checkTakeOutOnly(const QString& folder, bool withMessages)
{
    FolderProblemReport report;
    ScanFolderForProblems(m_store, folder, false, withMessages, &report);
    m_takeOutOnly = report.duplicates;
}

void ContentsCommands::refreshAfter(bool foldersRemoved)
{
    m_decrypted->RequestDecryptedRefresh();
    m_contents->RequestContentsRefresh();
    if (foldersRemoved) {
        m_tree->RebuildFolderItems();
    }
}

QStringList ContentsCommands::selectedContents(bool filesOnly) const
{
    QStringList paths;
    const ContentsModel* model = m_contents->contentsModel();
    for (int row : m_contents->selectedRowsInOrder()) {
        if (filesOnly && model->isFolderRow(row)) {
            continue;
        }
        const QString path = model->text(row, ContentsModel::FullPath);
        if (!ExistsAsEntry(path)) {
            // Listed, but not to be reached by its name: its bytes are no valid text (or it went).
            ShowMessage(model->text(row, ContentsModel::Name) +
                            QStringLiteral("\n\nこの項目の名前は文字として読めないか、項目がなくなったため、"
                                           "操作できません。ファイルマネージャーで名前を変更してください。"),
                        MessageStyle::warning());
            return {};
        }
        paths.append(path);
    }
    return paths;
}

OpenFiles ContentsCommands::openFiles()
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

int ContentsCommands::openSelection(const QString& program)
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

void ContentsCommands::routeOpen()
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
}

int ContentsCommands::takeOut(TakeOut::Type type)
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
        result = operation.Run(type, items);
        removed = operation.removedOriginals();
    }
    refreshAfter(removed);
    return result;
}

void ContentsCommands::connectDragOut()
{
    m_contents->prepareDragOut = [this](const QStringList& items) {
        m_dragOpen = std::make_unique<OpenFiles>(openFiles());
        m_dragTakeOut = std::make_unique<TakeOut>(m_store, *m_dragOpen);
        m_dragTakeOut->reflect = [this](const QStringList& copies) {
            return ReflectCopies(m_store).ReflectSelected(copies);
        };
        BusyScope busy;
        WaitWindow wait(m_window); // shows itself only when the copies take a while
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
        refreshAfter(removed);
    };
}

void ContentsCommands::routeTakeOut()
{
    connectDragOut();
    const struct
    {
        int menu;
        int list;
        TakeOut::Type type;
    } routes[] = {
        {Command::TakeOut, ListCommand::TakeOut, TakeOut::Decrypted},
        {Command::Mail, ListCommand::Mail, TakeOut::DecryptedForMail},
        {Command::TakeOutEncrypted, ListCommand::TakeOutEncrypted, TakeOut::Encrypted},
        {Command::TakeOutNewPassword, ListCommand::TakeOutNewPassword, TakeOut::NewPassword},
        {Command::MailNewPassword, ListCommand::MailNewPassword, TakeOut::NewPasswordForMail},
    };
    for (const auto& route : routes) {
        m_router.route(route.menu, [this, type = route.type] { return takeOut(type); });
        m_router.route(route.list, [this, type = route.type] { return takeOut(type); });
    }
    m_router.route(ListCommand::TakeOutAsIs, [this] { return takeOut(TakeOut::Unchanged); });
    // In the take-out-only state: hand the entries out, then look again whether it still holds.
    m_router.route(ListCommand::TakeOutAsIsOnly, [this] {
        const int result = takeOut(TakeOut::Unchanged);
        const QString shown = m_contents->shownFolderPath();
        if (!shown.isEmpty()) {
            checkTakeOutOnly(shown, false);
            m_contents->ShowFolder(shown, m_contents->selectedRootPath());
        }
        return result;
    });
}

int ContentsCommands::encryptInto(int mode, const QString& destination, const QStringList& paths)
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
    emit filesEncryptedIn();
    return result;
}

int ContentsCommands::PasteSystemFiles(const QString& destination)
{
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

void ContentsCommands::routeEncrypt()
{
    m_router.route(ListCommand::Encrypt, [this] {
        int result = Result::Failed;
        {
            BusyScope busy(true);
            result = EncryptPlainFiles(m_store, m_contents->shownFolderPath(), selectedContents(false));
        }
        m_contents->RequestContentsRefresh();
        emit filesEncryptedIn();
        return result;
    });
}

void ContentsCommands::routeNavigation()
{
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
        // Folders only; files are opened by the open command.
        const ContentsModel* model = m_contents->contentsModel();
        for (int row : m_contents->selectedRowsInOrder()) {
            if (model->isFolderRow(row)) {
                return m_tree->SelectFolder(model->text(row, ContentsModel::FullPath)) ? Result::Ok
                                                                                       : Result::Failed;
            }
        }
        return Result::Failed;
    });
}
