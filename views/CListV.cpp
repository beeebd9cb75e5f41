#include "views/CListV.h"

#include "util/StringTable.h"

namespace {

constexpr unsigned IdleText = 57345;

} // namespace

CListV::CListV(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("CListV"));
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setHeaderLabels({QStringLiteral("名前"), QStringLiteral("元のサイズ"), QStringLiteral("種類"),
                     QStringLiteral("更新日時")});
}

QString CListV::ContentsStatusText() const
{
    if (m_shownFolderPath.isEmpty()) {
        return LoadText(IdleText);
    }
    const int selected = int(selectedItems().size());
    if (selected > 0) {
        return QStringLiteral("%1 個のオブジェクトを選択").arg(selected);
    }
    return QStringLiteral("%1 個のオブジェクト").arg(topLevelItemCount());
}
