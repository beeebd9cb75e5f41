#include "views/contents/ContentsView.h"

#include "app/ShellFileTypes.h"
#include "operations/contents/ContentsRows.h"
#include "operations/contents/SelectionAnalysis.h"
#include "platform/FolderWatcher.h"
#include "store/StoreContext.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "util/FileQueries.h"
#include "util/MainWindowServices.h"
#include "util/StringTable.h"
#include "views/common/PaneMenus.h"
#include "views/common/RowColours.h"
#include "views/contents/ContentsMenus.h"
#include "views/contents/ContentsModel.h"

#include <QContextMenuEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

namespace {

constexpr unsigned IdleText = 57345;
constexpr int RetryMs = 500;
constexpr int MinimumWidth = 20;

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
    connect(&MainWindowServices::instance(), &MainWindowServices::busyChanged, this, [this](bool busy) {
        if (!busy && m_refreshPending) {
            RequestContentsRefresh();
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
    QAction* chosen = ExecPaneMenu(*menu, this, viewport()->mapToGlobal(at), menu->defaultAction());
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
    if (IsContextMenuKey(event)) {
        QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(), QPoint());
        contextMenuEvent(&request);
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
