#include "views/decrypted/DecryptedFilesView.h"

#include "operations/open/ReflectCopies.h"
#include "platform/FolderWatcher.h"
#include "store/StoreContext.h"
#include "store/metadata/MetadataLocation.h"
#include "store/working/WorkingCopyPaths.h"
#include "util/MainWindowServices.h"
#include "views/common/PaneMenus.h"
#include "views/common/RowColours.h"
#include "views/decrypted/DecryptedFilesModel.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace {

constexpr int RetryMs = 100;

} // namespace

DecryptedFilesView::DecryptedFilesView(QWidget* parent)
    : QTreeView(parent), m_model(new DecryptedFilesModel(this)), m_watcher(new FolderWatcher(this))
{
    setObjectName(QStringLiteral("CListV2"));
    setAccessibleName(QStringLiteral("復号中ファイル"));
    setAccessibleDescription(QStringLiteral("いま復号して使っているファイル"));
    setModel(m_model);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int column = DecryptedFilesModel::Title + 1; column < DecryptedFilesModel::ColumnCount; ++column) {
        setColumnHidden(column, true);
    }
    // Changed copies in blue on light grey, or colours that read on a dark palette.
    FollowRowColours(this, [model = m_model](const RowColours& colours) {
        model->setMarkedRows(DecryptedFilesModel::Changed, QStringLiteral("1"), colours.changedText,
                             colours.changedBackground);
    });
    connect(m_watcher, &FolderWatcher::changed, this, &DecryptedFilesView::RequestDecryptedRefresh);
    m_retry.setInterval(RetryMs);
    connect(&m_retry, &QTimer::timeout, this, &DecryptedFilesView::RefreshDecrypted);
    // A refresh put off while the window was busy follows once it is free again.
    connect(&MainWindowServices::instance(), &MainWindowServices::busyChanged, this, [this](bool busy) {
        if (!busy && m_pending) {
            RequestDecryptedRefresh();
        }
    });
}

void DecryptedFilesView::attach(StoreContext& store)
{
    m_store = &store;
    if (m_pending) {
        RequestDecryptedRefresh();
    }
}

int DecryptedFilesView::rowCount() const
{
    return m_model->rowCount();
}

int DecryptedFilesView::selectedRowCount() const
{
    return int(selectionModel()->selectedRows().size());
}

QStringList DecryptedFilesView::selectedCopies() const
{
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    QStringList copies;
    for (int row : rows) {
        copies.append(m_model->text(row, DecryptedFilesModel::CopyPath));
    }
    return copies;
}

int DecryptedFilesView::WatchDecryptedFolder(const QString& area)
{
    if (area.isEmpty() || !QFileInfo(area).isDir()) {
        StopWatchingDecrypted();
        return -1;
    }
    if (area == m_area) {
        return 0;
    }
    m_model->clear();
    m_area = area;
    m_watcher->watch(area, true);
    RequestDecryptedRefresh();
    return 0;
}

void DecryptedFilesView::StopWatchingDecrypted()
{
    m_watcher->watch(QString());
    m_retry.stop();
    m_pending = false;
    m_area.clear();
    m_model->clear();
}

void DecryptedFilesView::StopDecryptedWatcher()
{
    m_stopped = true;
    m_retry.stop();
    m_watcher->watch(QString());
}

void DecryptedFilesView::RequestDecryptedRefresh()
{
    if (m_stopped) {
        return;
    }
    m_pending = true;
    if (!m_retry.isActive()) {
        m_retry.start();
    }
}

void DecryptedFilesView::RefreshDecrypted()
{
    if (m_stopped || !m_store || MainWindowServices::instance().IsBusy()) {
        // The scan stays owed: attaching a store or the end of the busy state asks again.
        m_retry.stop();
        return;
    }
    m_pending = false;
    m_retry.stop();
    if (m_area.isEmpty() || !QFileInfo(m_area).isDir()) {
        return;
    }
    setUpdatesEnabled(false);
    QStringList seen;
    scan(m_area, &seen);
    for (int row = m_model->rowCount() - 1; row >= 0; --row) {
        if (!seen.contains(m_model->text(row, DecryptedFilesModel::CopyPath))) {
            m_model->removeRowAt(row);
        }
    }
    setUpdatesEnabled(true);
}

void DecryptedFilesView::scan(const QString& folder, QStringList* seen)
{
    const QFileInfoList entries = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir() && !entry.isSymLink()) {
            scan(entry.filePath(), seen);
            continue;
        }
        const QString copy = entry.filePath();
        seen->append(copy);
        const int row =
            m_model->findRow(DecryptedFilesModel::CopyPath, copy, DecryptedFilesModel::CopyPath, copy);
        QString container = row >= 0 ? m_model->text(row, DecryptedFilesModel::ContainerPath) : QString();
        if (row < 0) {
            QString proposal;
            container = m_store->copyPaths().ContainerPathOf(copy, true, &proposal);
            if (MetadataLocation::IsNoLocation(container)) {
                container.clear();
            }
        }
        const QString changed =
            ReflectCopies::IsChanged(copy, container) ? QStringLiteral("1") : QStringLiteral("0");
        if (row >= 0) {
            m_model->setText(row, DecryptedFilesModel::Changed, changed);
            continue;
        }
        const QString name = entry.fileName();
        const QString title = m_store->settings().TitleMode == 0 && !entry.completeSuffix().isEmpty()
                                  ? entry.completeBaseName()
                                  : name;
        m_model->appendRow({title, changed, name, copy, QStringLiteral("1"), container});
    }
}

void DecryptedFilesView::keyPressEvent(QKeyEvent* event)
{
    if (IsContextMenuKey(event)) {
        QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(), QPoint());
        contextMenuEvent(&request);
        return;
    }
    QTreeView::keyPressEvent(event);
}

void DecryptedFilesView::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_model->rowCount() == 0) {
        return;
    }
    QPoint at = event->pos();
    bool overRow = false;
    if (event->reason() == QContextMenuEvent::Keyboard) {
        overRow = currentIndex().isValid() && selectionModel()->isSelected(currentIndex());
        at = overRow ? visualRect(currentIndex()).center() : QPoint(10, 10);
    } else {
        at = viewport()->mapFrom(this, at);
        const QModelIndex under = indexAt(at);
        overRow = under.isValid();
        if (overRow && !selectionModel()->isSelected(under)) {
            selectionModel()->select(under, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            setCurrentIndex(under);
        }
    }
    QMenu menu(this);
    auto add = [&](int id, const QString& text) {
        QAction* action = menu.addAction(text);
        action->setData(id);
        action->setEnabled(!commandAvailable || commandAvailable(id));
        return action;
    };
    if (overRow) {
        add(ReflectSelectedCommand, QStringLiteral("選択した復号中のファイルを暗号化する(&S)"));
        QAction* go = add(GoToLocation, QStringLiteral("このファイルの場所に移動する(&M)"));
        if (selectedRowCount() > 1) {
            go->setEnabled(false);
        }
    } else {
        add(ReflectAllCommand, QStringLiteral("すべての復号中のファイルを暗号化する(&A)"));
    }
    QAction* chosen = ExecPaneMenu(menu, this, viewport()->mapToGlobal(at));
    if (chosen) {
        emit commandRequested(chosen->data().toInt());
    }
}
