#include "views/CListV2.h"

CListV2::CListV2(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("CListV2"));
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setHeaderLabels({QStringLiteral("復号中ファイル"), QStringLiteral("暗号フォルダー")});
}
