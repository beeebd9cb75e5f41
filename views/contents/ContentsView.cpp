#include "views/contents/ContentsView.h"

#include "app/ShellFileTypes.h"
#include "operations/contents/ContentsRefresh.h"
#include "operations/contents/ContentsRows.h"
#include "operations/contents/SelectionAnalysis.h"
#include "operations/encrypt/DroppedFiles.h"
#include "platform/FolderWatcher.h"
#include "store/StoreContext.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "util/FileQueries.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/StringTable.h"
#include "views/common/RowColours.h"
#include "views/contents/ContentsMenus.h"
#include "views/contents/ContentsModel.h"
#include "views/contents/LazyDragData.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDrag>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QSet>
#include <QUrl>

namespace {

constexpr unsigned IdleText = 57345;
constexpr int RetryMs = 500;
constexpr int MinimumWidth = 20;
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

ContentsView::ContentsView(QWidget* parent)
    : QTreeView(parent), m_model(new ContentsModel(this)), m_watcher(new FolderWatcher(this))
{
    setObjectName(QStringLiteral("CListV"));
    setAccessibleName(QStringLiteral("ファイル／フォルダー 一覧"));
    setAccessibleDescription(QStringLiteral("選択した暗号フォルダーの中身"));
    setModel(m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    header()->setStretchLastSection(false);
    for (int column = ContentsModel::FirstHidden; column < ContentsModel::ColumnCount; ++column) {
        setColumnHidden(column, true);
    }
    connect(header(), &QHeaderView::sectionClicked, this, &ContentsView::SortContents);
    connect(header(), &QHeaderView::sectionResized, this, &ContentsView::onSectionResized);
    connect(this, &QAbstractItemView::doubleClicked, this, &ContentsView::onDoubleClicked);
    connect(m_model, &ContentsModel::nameEdited, this, &ContentsView::onNameEdited);
    connect(itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this] { m_model->setEditableRow(-1); });
    // Plain files in red, or a red that reads on a dark palette.
    FollowRowColours(this, [model = m_model](const RowColours& colours) {
        model->setMarkedRows(ContentsModel::PlainFlag, QStringLiteral("1"), colours.plainText, QColor());
    });
    connect(m_watcher, &FolderWatcher::changed, this, &ContentsView::scheduleRefresh);
    setAcceptDrops(true);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    m_retry.setInterval(RetryMs);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        if (m_refreshPending) {
            RefreshContents();
        } else {
            m_retry.stop();
        }
    });
}

ContentsView::~ContentsView()
{
    m_stopped = true;
}

void ContentsView::attach(StoreContext& store)
{
    m_store = &store;
    m_rows = std::make_unique<ContentsRows>(store);
    applyColumnWidths();
    SetContentsViewMode(store.settings().DispMode);
}

void ContentsView::applyColumnWidths()
{
    const SettingsRecord& settings = m_store->settings();
    const int widths[] = {settings.Lv1WidthTi, settings.Lv1WidthMs, settings.Lv1WidthSr, settings.Lv1WidthMt,
                          settings.Lv1WidthAt};
    const QSignalBlocker quiet(header());
    for (int column = 0; column < 5; ++column) {
        setColumnWidth(column, qMax(MinimumWidth, widths[column]));
    }
}

void ContentsView::onSectionResized(int column, int, int newSize)
{
    if (!m_store || column > ContentsModel::EncryptedAt || m_viewMode != 2) {
        return;
    }
    SettingsRecord& settings = m_store->settings();
    int* fields[] = {&settings.Lv1WidthTi, &settings.Lv1WidthMs, &settings.Lv1WidthSr, &settings.Lv1WidthMt,
                     &settings.Lv1WidthAt};
    *fields[column] = qMax(MinimumWidth, newSize);
}

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
    if (m_suspended || m_stopped || !m_rows || m_refreshing) {
        return;
    }
    if (MainWindowServices::instance().IsBusy()) {
        // Retried after the operation that keeps the window busy has ended.
        m_refreshPending = true;
        if (!m_retry.isActive()) {
            m_retry.start();
        }
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

void ContentsView::SetContentsViewMode(int mode)
{
    m_viewMode = mode == 0 || mode == 1 ? mode : 2;
    const bool details = m_viewMode == 2;
    setHeaderHidden(!details);
    for (int column = ContentsModel::OriginalSize; column < ContentsModel::FirstHidden; ++column) {
        setColumnHidden(column, !details);
    }
    const int icon = m_viewMode == 0 ? 32 : 16;
    setIconSize(QSize(icon, icon));
    if (details && m_store) {
        applyColumnWidths();
    } else if (!details) {
        setColumnWidth(ContentsModel::Name, qMax(viewport()->width(), 200));
    }
}

void ContentsView::SetContentsBackground(const QString& folder)
{
    m_background = m_store && m_store->folders().IsReadOnlyFolder(folder, 0) != 0 ? ListBackground::ReadOnly
                                                                                  : ListBackground::Plain;
    if (m_store) {
        SetContentsViewMode(m_store->settings().DispMode);
    }
    viewport()->update();
}

void ContentsView::paintEvent(QPaintEvent* event)
{
    if (m_background != ListBackground::Plain) {
        QPainter painter(viewport());
        painter.drawPixmap(0, 0,
                           ListBackgroundPicture(m_background, viewport()->size(),
                                                 viewport()->palette().color(QPalette::Base)));
    }
    QTreeView::paintEvent(event);
    if (m_dropRow >= 0 && m_dropRow < m_model->rowCount()) {
        QPainter painter(viewport());
        QRect rect = visualRect(m_model->index(m_dropRow, 0));
        rect.setLeft(0);
        rect.setRight(viewport()->width() - 1);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(rect.adjusted(1, 1, -1, -1));
    }
}

void ContentsView::dragEnterEvent(QDragEnterEvent* event)
{
    m_dropRow = -1;
    if (event->source() == this || event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void ContentsView::dragMoveEvent(QDragMoveEvent* event)
{
    if (MainWindowServices::instance().IsBusy() ||
        (event->source() != this && !event->mimeData()->hasUrls())) {
        event->ignore();
        return;
    }
    const QModelIndex under = indexAt(event->position().toPoint());
    const int row = under.isValid() && m_model->isFolderRow(under.row()) ? under.row() : -1;
    if (row != m_dropRow) {
        m_dropRow = row;
        viewport()->update();
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void ContentsView::dragLeaveEvent(QDragLeaveEvent* event)
{
    m_dropRow = -1;
    viewport()->update();
    event->accept();
}

void ContentsView::dropEvent(QDropEvent* event)
{
    const QModelIndex under = indexAt(event->position().toPoint());
    const int row = under.isValid() && m_model->isFolderRow(under.row()) ? under.row() : -1;
    m_dropRow = -1;
    viewport()->update();
    if (MainWindowServices::instance().IsBusy()) {
        event->ignore();
        return;
    }
    if (m_selectedRootPath.isEmpty()) {
        ShowMessage(MsgA(9), MessageStyle::warning());
        event->ignore();
        return;
    }
    const QString target = row >= 0 ? m_model->text(row, ContentsModel::FullPath) : m_shownFolderPath;
    if (event->source() == this) {
        dropRows(event, target);
        return;
    }
    if (!m_store || m_store->folders().IsReadOnlyFolder(m_shownFolderPath, 0) != 0) {
        event->ignore();
        return;
    }
    DroppedFiles files;
    if (!ReadDroppedFiles(*event->mimeData(), &files)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    const QString& destination = target;
    const int command = askDropCommand(event, &BuildDropMenu);
    if (command == ListCommand::DropEncryptCopy || command == ListCommand::DropEncryptMove) {
        // After the drag has finished: the source program is not kept waiting for the operation.
        QMetaObject::invokeMethod(
            this,
            [this, command, destination, paths = files.paths] {
                emit filesDropped(command, destination, paths);
            },
            Qt::QueuedConnection);
    }
}

int ContentsView::selectedRowCount() const
{
    return int(selectionModel()->selectedRows().size());
}

QList<int> ContentsView::selectedRowsInOrder() const
{
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

QString ContentsView::ContentsStatusText() const
{
    if (m_shownFolderPath.isEmpty()) {
        return LoadText(IdleText);
    }
    const int selected = selectedRowCount();
    if (selected > 0) {
        return QStringLiteral("%1 個のオブジェクトを選択").arg(selected);
    }
    QString text = QStringLiteral("%1 個のオブジェクト").arg(m_model->rowCount());
    qint64 bytes = 0;
    QString free;
    if (FreeSpace(m_shownFolderPath, &bytes, &free) == 0 && !free.isEmpty()) {
        text += QStringLiteral("　（空きディスク領域： ") + free + QStringLiteral("）");
    }
    return text;
}

bool ContentsView::AnalyseSelection(SelectionAnalysis* analysis) const
{
    QStringList paths;
    QStringList names;
    for (int row : selectedRowsInOrder()) {
        paths.append(m_model->text(row, ContentsModel::FullPath));
        names.append(m_model->text(row, ContentsModel::OriginalName));
    }
    return m_store && ::AnalyseSelection(*m_store, paths, names, analysis);
}

void ContentsView::onDoubleClicked(const QModelIndex& index)
{
    if (!index.isValid()) {
        return;
    }
    const QString path = m_model->text(index.row(), ContentsModel::FullPath);
    if (!QFileInfo(path).isFile()) {
        emit openFolderRequested(path);
        return;
    }
    emit commandRequested(ListCommand::Open);
}

int ContentsView::askDropCommand(QDropEvent* event, QMenu* (*buildMenu)(QWidget*))
{
    const QPoint at = viewport()->mapToGlobal(event->position().toPoint());
    if (chooseDropCommand) {
        return chooseDropCommand(at);
    }
    std::unique_ptr<QMenu> menu(buildMenu(this));
    QAction* chosen = menu->exec(at);
    return chosen ? chosen->data().toInt() : 0;
}

// Rows of this list dropped onto one of its folders or onto the list: menu 135 decides, and the
// transfer runs once the drag has ended.
void ContentsView::dropRows(QDropEvent* event, const QString& target)
{
    const QStringList items = event->mimeData()->property("items").toStringList();
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (items.isEmpty()) {
        return;
    }
    const int command = askDropCommand(event, &BuildRowDropMenu);
    if (command == ListCommand::DropCopyHere || command == ListCommand::DropMoveHere) {
        QMetaObject::invokeMethod(
            this, [this, command, target, items] { emit rowsDropped(command, target, items); },
            Qt::QueuedConnection);
    }
}

int ContentsView::rowOfPath(const QString& path) const
{
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->text(row, ContentsModel::FullPath) == path) {
            return row;
        }
    }
    return -1;
}

bool ContentsView::StartRenaming(const QString& path)
{
    const int row = rowOfPath(path);
    if (row < 0) {
        return false;
    }
    const QModelIndex name = m_model->index(row, ContentsModel::Name);
    selectionModel()->setCurrentIndex(name, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(name);
    m_model->setEditableRow(row);
    edit(name);
    return true;
}

void ContentsView::onNameEdited(int row, const QString& text)
{
    m_model->setEditableRow(-1);
    const QString shown = m_model->text(row, ContentsModel::Name);
    const QString typed = text.trimmed();
    if (typed.isEmpty() || typed == shown) {
        return;
    }
    QString name = typed;
    // A file shown without its extension keeps the extension it has.
    const QString original = m_model->text(row, ContentsModel::OriginalName);
    const QString extension = QFileInfo(original).suffix();
    if (!m_model->isFolderRow(row) && !extension.isEmpty() &&
        shown == QFileInfo(original).completeBaseName()) {
        name += QLatin1Char('.') + extension;
    }
    emit renameRequested(m_model->text(row, ContentsModel::FullPath), name);
}

QMenu* ContentsView::buildContextMenu(bool overRow)
{
    if (m_selectedRootPath.isEmpty()) {
        return nullptr;
    }
    ContentsMenuContext context;
    context.available = commandAvailable;
    context.takeOutOnly = takeOutOnly && takeOutOnly();
    context.pasteText = pasteText ? pasteText() : QString();
    context.selectedRows = selectedRowCount();
    if (!overRow && newFileEntries) {
        context.newFiles = newFileEntries();
    }
    if (!overRow || context.selectedRows == 0) {
        return overRow ? nullptr : BuildEmptySpaceMenu(context, this);
    }
    SelectionAnalysis selection;
    if (!AnalyseSelection(&selection)) {
        return nullptr;
    }
    if (selection.fileSelected && !selection.folderSelected && selection.plainFiles == 0 && m_store) {
        QStringList unique = selection.extensions;
        unique.removeDuplicates();
        OpenWithPrograms programs;
        if (unique.size() == 1 &&
            GetOpenWithList(unique.first(), m_store->settings().ExtNonAplFlg != 0, &programs) == 0) {
            context.openWithNames = programs.names;
            m_openWithPrograms = programs.paths;
        }
    }
    return BuildSelectionMenu(selection, context, this);
}

void ContentsView::contextMenuEvent(QContextMenuEvent* event)
{
    QPoint at = event->pos();
    bool overRow = false;
    if (event->reason() == QContextMenuEvent::Keyboard) {
        // The menu key opens it at the row under the selection mark.
        const QModelIndex current = currentIndex();
        overRow = current.isValid() && selectionModel()->isSelected(current);
        if (overRow) {
            at = visualRect(current.siblingAtColumn(0)).center();
        }
    } else {
        const QModelIndex under = indexAt(viewport()->mapFrom(this, at));
        overRow = under.isValid();
        if (overRow && !selectionModel()->isSelected(under)) {
            selectionModel()->select(under, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            setCurrentIndex(under);
        }
        at = viewport()->mapFrom(this, at);
    }
    std::unique_ptr<QMenu> menu(buildContextMenu(overRow));
    if (!menu) {
        return;
    }
    QAction* chosen = menu->exec(viewport()->mapToGlobal(at), menu->defaultAction());
    if (chosen && chosen->data().isValid()) {
        emit commandRequested(chosen->data().toInt());
    }
}

void ContentsView::keyPressEvent(QKeyEvent* event)
{
    if (state() == QAbstractItemView::EditingState) {
        // The Enter that ends a name's editing reaches the list too: it opens nothing.
        QTreeView::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier) {
        emit commandRequested(ListCommand::Rename);
        return;
    }
    if (event->key() == Qt::Key_Delete && (event->modifiers() & ~Qt::ShiftModifier) == Qt::NoModifier) {
        emit commandRequested(ListCommand::Delete); // with Shift: permanently
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        onDoubleClicked(currentIndex());
        return;
    }
    QTreeView::keyPressEvent(event);
}

QMimeData* ContentsView::dragData(bool decrypting) const
{
    QStringList items;
    for (int row : selectedRowsInOrder()) {
        items.append(m_model->text(row, ContentsModel::FullPath));
    }
    if (decrypting) {
        auto* data = new LazyDragData(
            [this, items] { return prepareDragOut ? prepareDragOut(items) : QStringList(); });
        data->setProperty("items", items);
        return data;
    }
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& item : items) {
        urls.append(QUrl::fromLocalFile(item));
    }
    data->setUrls(urls);
    data->setProperty("items", items);
    return data;
}

void ContentsView::dragFinished(QMimeData* data)
{
    auto* lazy = qobject_cast<LazyDragData*>(data);
    if (lazy && finishDragOut) {
        finishDragOut(data->property("items").toStringList(), lazy->copies(), lazy->prepared());
    }
}

void ContentsView::startDrag(Qt::DropActions)
{
    if (!m_store || selectedRowCount() == 0 || MainWindowServices::instance().IsBusy()) {
        return;
    }
    const bool decrypting = m_store->settings().DandDDecryFlg == 1;
    auto* drag = new QDrag(this);
    QMimeData* data = dragData(decrypting);
    drag->setMimeData(data);
    Qt::DropActions actions = Qt::CopyAction;
    if (QGuiApplication::mouseButtons() & Qt::RightButton &&
        m_store->folders().IsReadOnlyFolder(m_shownFolderPath, 0) == 0) {
        actions |= Qt::MoveAction;
    }
    drag->exec(actions, Qt::CopyAction);
    dragFinished(data);
    drag->deleteLater();
}
