#include "views/contents/CListV.h"

#include "util/StringTable.h"
#include "views/common/RowColours.h"
#include "views/contents/ContentsModel.h"

namespace {

constexpr unsigned IdleText = 57345;

} // namespace

CListV::CListV(QWidget* parent) : QTreeView(parent), m_model(new ContentsModel(this))
{
    setObjectName(QStringLiteral("CListV"));
    setAccessibleName(QStringLiteral("ファイル／フォルダー 一覧"));
    setAccessibleDescription(QStringLiteral("選択した暗号フォルダーの中身"));
    setModel(m_model);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int column = ContentsModel::FirstHidden; column < ContentsModel::ColumnCount; ++column) {
        setColumnHidden(column, true);
    }
    // Plain files in red, or a red that reads on a dark palette.
    FollowRowColours(this, [model = m_model](const RowColours& colours) {
        model->setMarkedRows(ContentsModel::PlainFlag, QStringLiteral("1"), colours.plainText, QColor());
    });
}

int CListV::selectedRowCount() const
{
    return int(selectionModel()->selectedRows().size());
}

QString CListV::ContentsStatusText() const
{
    if (m_shownFolderPath.isEmpty()) {
        return LoadText(IdleText);
    }
    const int selected = selectedRowCount();
    if (selected > 0) {
        return QStringLiteral("%1 個のオブジェクトを選択").arg(selected);
    }
    return QStringLiteral("%1 個のオブジェクト").arg(m_model->rowCount());
}
