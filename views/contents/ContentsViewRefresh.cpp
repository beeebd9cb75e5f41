// Filling the contents list, following the shown folder's changes and sorting the rows.

#include "operations/contents/ContentsRefresh.h"
#include "operations/contents/ContentsRows.h"
#include "platform/FolderWatcher.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "views/common/RowColours.h"
#include "views/contents/ContentsMenus.h"
#include "views/contents/ContentsModel.h"
#include "views/contents/ContentsView.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QSet>

namespace {

constexpr int PumpEvery = 64;

// The header click order: ascending puts folders first, descending is the exact reverse.
bool SortsBefore(const QStringList& a, const QStringList& b, int column, bool ascending)
{
    const bool folderA = a.value(ContentsModel::FolderFlag) == QLatin1String("1");
    const bool folderB = b.value(ContentsModel::FolderFlag) == QLatin1String("1");
    if (folderA != folderB) {
        return ascending ? folderA : folderB;
    }
    const int order =
        QStringView(a.value(column)).left(1024).compare(QStringView(b.value(column)).left(1024));
    return ascending ? order < 0 : order > 0;
}

RowState StateOfRow(const ContentsModel& model, int row)
{
    return {model.text(row, ContentsModel::OriginalName), model.text(row, ContentsModel::RawModified),
            model.text(row, ContentsModel::FullPath), model.text(row, ContentsModel::PlainFlag)};
}

} // namespace

int ContentsView::ShowFolder(const QString& folder, const QString& root)
{
    ++m_generation;
    m_shownFolderPath = folder;
    m_selectedRootPath = root;
    SetContentsBackground(folder);
    const int result = FillContents(folder);
    m_watcher->watch(folder);
    m_suspended = false;
    return result;
}

int ContentsView::FillContents(const QString& folder)
{
    if (!m_rows) {
        return -1;
    }
    BusyScope busy;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_model->clear();
    m_snapshot.clear();
    QList<QStringList> rows;
    QStringList snapshot;
    const int result = m_rows->Fill(folder, &rows, &snapshot);
    m_model->setRows(std::move(rows));
    if (result == 0) {
        m_snapshot = snapshot;
        m_sortState.fill(0);
        SortContents(ContentsModel::Name);
    }
    QApplication::restoreOverrideCursor();
    return result;
}

void ContentsView::StopWatchingContents(ListBackground background)
{
    ++m_generation;
    m_suspended = true;
    m_refreshPending = false;
    m_retry.stop();
    m_watcher->watch(QString());
    m_model->clear();
    m_snapshot.clear();
    m_shownFolderPath.clear();
    m_selectedRootPath.clear();
    m_background = background;
    if (background != ListBackground::Plain || m_viewMode != 0) {
        SetContentsViewMode(0);
    }
    viewport()->update();
}

void ContentsView::StopContentsWatcher()
{
    m_stopped = true;
    m_suspended = true;
    m_retry.stop();
    m_watcher->watch(QString());
}

void ContentsView::scheduleRefresh()
{
    if (m_suspended || m_stopped) {
        return;
    }
    m_refreshPending = true;
    RefreshContents();
}

void ContentsView::RequestContentsRefresh()
{
    if (m_suspended || m_stopped) {
        return;
    }
    m_refreshPending = true;
    if (!m_retry.isActive()) {
        m_retry.start();
    }
}

void ContentsView::RefreshContents()
{
    if (m_refreshing) {
        return; // the retry comes back once the running refresh is done
    }
    if (m_suspended || m_stopped || !m_rows) {
        m_retry.stop(); // nothing is shown that a refresh could bring up to date
        return;
    }
    if (MainWindowServices::instance().IsBusy()) {
        // Refreshed once the operation that keeps the window busy has ended.
        m_refreshPending = true;
        m_retry.stop();
        return;
    }
    m_refreshPending = false;
    m_retry.stop();
    const QString folder = m_shownFolderPath;
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        return;
    }
    m_refreshing = true;
    setUpdatesEnabled(false);
    {
        BusyScope busy;
        if (applyRefresh(folder, m_generation)) {
            emit subfoldersChanged();
        }
    }
    setUpdatesEnabled(true);
    m_refreshing = false;
}

bool ContentsView::applyRefresh(const QString& folder, quint64 generation)
{
    FolderScan scan;
    if (ContentsRows::ScanFolder(folder, &scan) != 0) {
        return false;
    }
    QStringList snapshot = ContentsRows::SnapshotOf(scan.entries);
    if (snapshot == m_snapshot) {
        return false;
    }
    EntryIndex index;
    if (m_rows->LoadIndex(folder, scan, &index) != 0) {
        return false;
    }
    // Entries whose path and time both stand in the old and the new listing keep their rows as
    // they are; only the others take part in the merge.
    const QSet<QString> before(m_snapshot.cbegin(), m_snapshot.cend());
    const QSet<QString> after(snapshot.cbegin(), snapshot.cend());
    m_snapshot = std::move(snapshot);
    QList<RowState> rows;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        RowState state = StateOfRow(*m_model, row);
        if (!after.contains(state.path + state.rawTime)) {
            rows.append(std::move(state));
        }
    }
    QList<RowState> fresh;
    for (const ContentsEntry& entry : std::as_const(scan.entries)) {
        FoundEntry found;
        if (before.contains(entry.fullPath + entry.rawTime)) {
            continue;
        }
        if (entry.isFolder) {
            fresh.append({entry.name, entry.rawTime, entry.fullPath, QString()});
        } else if (index.find(entry.name, &found)) {
            fresh.append({found.DisplayName, entry.rawTime, entry.fullPath,
                          found.isEncrypted ? QStringLiteral("0") : QStringLiteral("1")});
        } else {
            fresh.append({entry.name, entry.rawTime, entry.fullPath, QStringLiteral("1")});
        }
    }
    const QList<RefreshStep> steps = PlanContentsRefresh(std::move(rows), std::move(fresh));
    int done = 0;
    for (const RefreshStep& step : steps) {
        if (++done % PumpEvery == 0) {
            QCoreApplication::processEvents();
        }
        // A stop, or another folder shown meanwhile: what is left no longer applies.
        if (m_stopped || generation != m_generation || MainWindowServices::instance().ShutdownRequested()) {
            return false;
        }
        const int row = step.kind == RefreshStep::Append
                            ? -1
                            : m_model->findRow(ContentsModel::FullPath, step.old.path,
                                               ContentsModel::PlainFlag, step.old.plainFlag);
        QStringList texts;
        switch (step.kind) {
        case RefreshStep::Update:
            if (row >= 0) {
                if (m_rows->RowFromHeader(step.fresh.path, &texts) == 0) {
                    m_model->replaceRow(row, texts);
                } else {
                    m_model->removeRowAt(row);
                }
            }
            break;
        case RefreshStep::Remove:
            if (row >= 0) {
                m_model->removeRowAt(row);
            }
            break;
        case RefreshStep::Append:
            if (m_rows->RowFromHeader(step.fresh.path, &texts) == 0) {
                m_model->appendRow(texts);
            }
            break;
        }
    }
    return !steps.isEmpty();
}

void ContentsView::SortContents(int column)
{
    if (column < 0 || column >= ContentsModel::ColumnCount) {
        return;
    }
    const int flag = m_sortState[std::size_t(column)] == 1 ? 0 : 1;
    m_sortState.fill(0);
    m_sortState[std::size_t(column)] = flag;
    m_sortColumn = column;
    const bool ascending = flag == 1;
    m_model->sortRows([column, ascending](const QStringList& a, const QStringList& b) {
        return SortsBefore(a, b, column, ascending);
    });
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}
