#include "views/contents/ContentsModel.h"

#include "views/common/FileTypeIcons.h"

ContentsModel::ContentsModel(QObject* parent)
    : TextRowModel({QStringLiteral("名前"), QStringLiteral("元のサイズ"), QStringLiteral("種類"),
                    QStringLiteral("更新日時"), QStringLiteral("暗号化日時"), QStringLiteral("更新日時"),
                    QStringLiteral("状態"), QStringLiteral("元ﾌｧｲﾙ名"), QStringLiteral("ﾌﾙﾊﾟｽ"),
                    QStringLiteral("非暗号"), QStringLiteral("ﾌｫﾙﾀﾞ識別")},
                   parent)
{
}

bool ContentsModel::isFolderRow(int row) const
{
    return text(row, FolderFlag) == QLatin1String("1");
}

bool ContentsModel::isPlainRow(int row) const
{
    return text(row, PlainFlag) == QLatin1String("1");
}

QString ContentsModel::ToolTipOf(int row) const
{
    QString tip = text(row, OriginalName);
    if (!isFolderRow(row) && !isPlainRow(row)) {
        tip += QStringLiteral("\n種類： ") + text(row, TypeName) + QStringLiteral("\n更新日時： ") +
               text(row, ModifiedAt) + QStringLiteral("\n元のサイズ： ") + text(row, OriginalSize).trimmed();
    }
    return tip;
}

QVariant ContentsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) {
        return {};
    }
    switch (role) {
    case Qt::DecorationRole:
        if (index.column() != Name) {
            return {};
        }
        return isFolderRow(index.row()) ? FolderIcon() : IconForFileName(text(index.row(), OriginalName));
    case Qt::ToolTipRole:
        return ToolTipOf(index.row());
    case Qt::EditRole:
        return text(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return index.column() == OriginalSize ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    default:
        return TextRowModel::data(index, role);
    }
}

QVariant ContentsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole) {
        return section == OriginalSize ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                       : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return TextRowModel::headerData(section, orientation, role);
}

Qt::ItemFlags ContentsModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = TextRowModel::flags(index);
    if (index.isValid() && index.row() == m_editableRow && index.column() == Name) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool ContentsModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || index.row() != m_editableRow || index.column() != Name) {
        return false;
    }
    emit nameEdited(index.row(), value.toString());
    return false;
}
