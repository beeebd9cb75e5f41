#include "frame/tree/FolderTreeView.h"

#include "engine/CryptEngine.h"
#include "frame/tree/FolderTreeModel.h"
#include "operations/folders/FolderLogin.h"
#include "operations/folders/FolderRegistration.h"
#include "operations/folders/RegistrationChecks.h"
#include "platform/Platform.h"
#include "store/StoreContext.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PromptService.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"
#include "util/ShellOperations.h"
#include "views/common/FileTypeIcons.h"
#include "views/common/FolderPictures.h"
#include "views/contents/ContentsView.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace {

// The subfolders of a folder as the tree shows them: no hidden ones, sorted by name.
QStringList SubfoldersOf(const QString& folder)
{
    QStringList names;
    QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (!name.startsWith(QLatin1Char('.'))) {
            names.append(name);
        }
    }
    names.sort();
    return names;
}

bool HasSubfolders(const QString& folder)
{
    return !SubfoldersOf(folder).isEmpty();
}

} // namespace

FolderTreeView::FolderTreeView(QWidget* parent) : QTreeView(parent), m_model(new FolderTreeModel(this))
{
    setObjectName(QStringLiteral("CTreeV"));
    setModel(m_model);
    setHeaderHidden(true);
    setAccessibleName(QStringLiteral("暗号フォルダー"));
    setAccessibleDescription(QStringLiteral("登録した暗号フォルダーとそのサブフォルダー"));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setExpandsOnDoubleClick(false);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { onCurrentChanged(current); });
    connect(this, &QTreeView::expanded, this, &FolderTreeView::onExpanded);
    setupDragAndDrop();
}

void FolderTreeView::attach(StoreContext& store, ContentsView* list)
{
    m_store = &store;
    m_list = list;
}

QModelIndex FolderTreeView::itemConcerned() const
{
    return currentIndex();
}

QString FolderTreeView::FolderItemPath(const QModelIndex& index) const
{
    return m_model->fullPath(index);
}

QModelIndex FolderTreeView::rootItemOf(const QString& root) const
{
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex index = m_model->index(row, 0);
        if (m_model->fullPath(index) == root) {
            return index;
        }
    }
    return {};
}

QModelIndex FolderTreeView::addRootItem(const QString& root)
{
    const QModelIndex index = m_model->addRoot(RegistrationChecks::RootDisplayText(root), root);
    m_model->setData(index, root, Qt::ToolTipRole);
    if (HasSubfolders(root)) {
        m_model->addChild(index, QString(), FolderTreeModel::Placeholder);
    }
    return index;
}

void FolderTreeView::updateRootIcons()
{
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex index = m_model->index(row, 0);
        const bool in = m_store && m_store->engine().IsKeySlotSet(m_model->fullPath(index)) == 0;
        m_model->setData(index, in ? LoggedInFolderIcon() : LoggedOutFolderIcon(), Qt::DecorationRole);
        m_model->setData(index, in ? QStringLiteral("ログイン中") : QStringLiteral("ログアウト中"),
                         Qt::AccessibleDescriptionRole);
    }
}

void FolderTreeView::FillFolderTree()
{
    m_quiet = true;
    m_model->clear();
    const RegisteredFolderTable& table = m_store->folders();
    for (int i = 0; i < RegisteredFolderTable::MaxFolders; ++i) {
        const QString root = table.slot(i).rootPath;
        if (!root.isEmpty()) {
            addRootItem(root);
        }
    }
    updateRootIcons();
    m_quiet = false;
    if (m_model->rowCount() > 0) {
        setCurrentIndex(m_model->index(0, 0));
    }
}

void FolderTreeView::ReadSubfolders(const QModelIndex& index)
{
    QStandardItem* item = m_model->itemFromIndex(index);
    if (!item) {
        return;
    }
    const QString folder = m_model->fullPath(index);
    item->removeRows(0, item->rowCount());
    const QIcon icon = FolderIcon();
    for (const QString& name : SubfoldersOf(folder)) {
        const QModelIndex child = m_model->addChild(index, name);
        m_model->setData(child, icon, Qt::DecorationRole);
        if (HasSubfolders(folder + QLatin1Char('/') + name)) {
            m_model->addChild(child, QString(), FolderTreeModel::Placeholder);
        }
    }
}

void FolderTreeView::onExpanded(const QModelIndex& index)
{
    if (m_quiet) {
        return;
    }
    const QModelIndex first = m_model->index(0, 0, index);
    if (first.isValid() && FolderTreeModel::kindOf(first) == FolderTreeModel::Placeholder) {
        m_quiet = true;
        ReadSubfolders(index);
        m_quiet = false;
    }
}

void FolderTreeView::RebuildFolderItems()
{
    if (!m_store) {
        return;
    }
    // Collect what is expanded (by path), read every expanded item again, expand them again.
    QStringList expanded;
    std::function<void(const QModelIndex&)> collect = [&](const QModelIndex& parent) {
        for (int row = 0; row < m_model->rowCount(parent); ++row) {
            const QModelIndex index = m_model->index(row, 0, parent);
            if (isExpanded(index)) {
                expanded.append(m_model->fullPath(index));
                collect(index);
            }
        }
    };
    collect(QModelIndex());
    const QString current = m_model->fullPath(currentIndex());
    m_quiet = true;
    for (const QString& path : std::as_const(expanded)) {
        const QModelIndex index = indexOfPath(path);
        if (index.isValid() && QFileInfo(path).isDir()) {
            ReadSubfolders(index);
            expand(index);
        }
    }
    const QModelIndex again = indexOfPath(current);
    if (again.isValid()) {
        selectionModel()->setCurrentIndex(again, QItemSelectionModel::ClearAndSelect);
    }
    m_quiet = false;
}

QModelIndex FolderTreeView::childNamed(const QModelIndex& parent, const QString& name) const
{
    for (int child = 0; child < m_model->rowCount(parent); ++child) {
        const QModelIndex candidate = m_model->index(child, 0, parent);
        if (FolderTreeModel::kindOf(candidate) == FolderTreeModel::Subfolder &&
            candidate.data(Qt::DisplayRole).toString() == name) {
            return candidate;
        }
    }
    return {};
}

QModelIndex FolderTreeView::indexOfPath(const QString& path) const
{
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex root = m_model->index(row, 0);
        const QString rootPath = m_model->fullPath(root);
        if (path == rootPath) {
            return root;
        }
        if (!path.startsWith(rootPath + QLatin1Char('/'))) {
            continue;
        }
        QModelIndex index = root;
        const QStringList parts = path.mid(rootPath.size() + 1).split(QLatin1Char('/'), Qt::SkipEmptyParts);
        for (const QString& part : parts) {
            index = childNamed(index, part);
            if (!index.isValid()) {
                return {};
            }
        }
        return index;
    }
    return {};
}

bool FolderTreeView::SelectFolder(const QString& path)
{
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex root = m_model->index(row, 0);
        const QString rootPath = m_model->fullPath(root);
        if (path != rootPath && !path.startsWith(rootPath + QLatin1Char('/'))) {
            continue;
        }
        QModelIndex index = root;
        const QStringList parts = path.mid(rootPath.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
        m_quiet = true;
        for (const QString& part : parts) {
            ReadSubfolders(index);
            expand(index);
            const QModelIndex next = childNamed(index, part);
            if (!next.isValid()) {
                break;
            }
            index = next;
        }
        m_quiet = false;
        setCurrentIndex(index);
        scrollTo(index);
        return FolderItemPath(index) == path;
    }
    return false;
}

void FolderTreeView::onCurrentChanged(const QModelIndex& current)
{
    if (m_quiet || !m_store || !current.isValid()) {
        return;
    }
    const QString path = FolderItemPath(current);
    if (path.isEmpty() || (m_list && path == m_list->shownFolderPath())) {
        return;
    }
    OpenFolderView(path, false);
}

void FolderTreeView::clearShown(bool locked)
{
    if (m_list) {
        m_list->StopWatchingContents(locked ? ListBackground::Locked : ListBackground::Plain);
    }
    emit folderShown(QString(), QString());
}

int FolderTreeView::OpenFolderView(const QString& path, bool login, const QString& password)
{
    RegisteredFolderTable& table = m_store->folders();
    const QString root = table.FindRegisteredRoot(path, 0);
    if (root.isEmpty()) {
        clearShown(false);
        return Result::Failed;
    }
    bool loggedInNow = false;
    if (m_store->engine().IsKeySlotSet(root) != 0) {
        if (!login) {
            clearShown(true);
            return Result::Ok;
        }
        FolderLogin logins(*m_store);
        if (logins.LoginFolder(root, password) != 0) {
            return Result::Failed;
        }
        loggedInNow = true;
        updateRootIcons();
        const QModelIndex rootItem = rootItemOf(root);
        if (rootItem.isValid()) {
            MainWindowServices& services = MainWindowServices::instance();
            BusyScope busy;
            services.SetBusyText(MsgA(151));
            m_quiet = true;
            ReadSubfolders(rootItem);
            m_quiet = false;
            services.ClearBusyText();
        }
    }
    FolderLogin logins(*m_store);
    if (logins.PrepareWorkingAreas(root) != 0) {
        emit closeRequested();
        return Result::Failed;
    }
    if (m_list) {
        m_list->ShowFolder(path, root);
    }
    emit folderShown(root, path);
    if (loggedInNow) {
        emit loggedIn(root);
    }
    if (loggedInNow && table.IsReadOnlyFolder(root, 0) != 0 && m_store->settings().ReadOnlyMsgDispFlg == 1) {
        ShowMessage(MsgA(152), MessageStyle::information());
    }
    return Result::Ok;
}

int FolderTreeView::LoginSelectedFolder(const QString& password)
{
    const QModelIndex item = currentIndex();
    if (!item.isValid()) {
        return Result::Failed;
    }
    return OpenFolderView(FolderItemPath(item), true, password);
}

int FolderTreeView::LogoutSelectedFolder()
{
    const QModelIndex item = currentIndex();
    if (!item.isValid()) {
        return Result::Failed;
    }
    const QString root = m_store->folders().FindRegisteredRoot(FolderItemPath(item), 0);
    if (root.isEmpty()) {
        return Result::Failed;
    }
    FolderLogin logins(*m_store);
    int result = Result::Failed;
    {
        BusyScope busy;
        result = logins.LogoutFolder(root, reflectFolder);
    }
    if (result != 0) {
        return result;
    }
    const QModelIndex rootItem = rootItemOf(root);
    m_quiet = true;
    if (rootItem.isValid()) {
        collapse(rootItem);
        QStandardItem* owner = m_model->itemFromIndex(rootItem);
        owner->removeRows(0, owner->rowCount());
        if (HasSubfolders(root)) {
            m_model->addChild(rootItem, QString(), FolderTreeModel::Placeholder);
        }
        setCurrentIndex(rootItem);
    }
    m_quiet = false;
    updateRootIcons();
    clearShown(true);
    int index = 0;
    for (; index < RegisteredFolderTable::MaxFolders; ++index) {
        if (m_store->folders().slot(index).rootPath == root) {
            break;
        }
    }
    if (index < RegisteredFolderTable::MaxFolders &&
        m_store->folders().slot(index).autoReleaseText == QLatin1String("1")) {
        FolderRegistration registration(*m_store);
        if (registration.ReleaseRoot(root, false) == 0) {
            removeRootItem(root);
        }
    }
    return Result::Ok;
}

void FolderTreeView::removeRootItem(const QString& root)
{
    const QModelIndex item = rootItemOf(root);
    if (!item.isValid()) {
        return;
    }
    const bool shown = m_list && m_list->selectedRootPath() == root;
    m_quiet = true;
    m_model->removeRow(item.row());
    m_quiet = false;
    if (shown || m_model->rowCount() == 0) {
        clearShown(false);
    }
    if (m_model->rowCount() > 0 && !currentIndex().isValid()) {
        setCurrentIndex(m_model->index(0, 0));
    }
}
