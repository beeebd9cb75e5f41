#include "views/decrypted/CListV2.h"

#include "views/common/RowColours.h"
#include "views/decrypted/DecryptedFilesModel.h"

CListV2::CListV2(QWidget* parent) : QTreeView(parent), m_model(new DecryptedFilesModel(this))
{
    setObjectName(QStringLiteral("CListV2"));
    setAccessibleName(QStringLiteral("復号中ファイル"));
    setAccessibleDescription(QStringLiteral("いま復号して使っているファイル"));
    setModel(m_model);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
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
}

int CListV2::rowCount() const
{
    return m_model->rowCount();
}

int CListV2::selectedRowCount() const
{
    return int(selectionModel()->selectedRows().size());
}
