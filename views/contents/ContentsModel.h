#pragma once

#include "views/common/TextRowModel.h"

// The rows of the contents list (ContentsRow): eleven text columns with fixed indices, which
// the operations read by (row, column). Columns from Raw on are hidden in the list. The name
// column shows the type's icon; every row has a tooltip.
class ContentsModel : public TextRowModel
{
    Q_OBJECT

public:
    enum Column
    {
        Name = 0,         // display name
        OriginalSize = 1, // formatted
        TypeName = 2,
        ModifiedAt = 3,  // for display
        EncryptedAt = 4, // as recorded
        RawModified = 5, // last-write time of the entry on disk, "%Y%m%d%H%M%S"
        Status = 6,
        OriginalName = 7, // the key of the row
        FullPath = 8,     // the entry on disk
        PlainFlag = 9,    // "1" plain file, "0" container, empty for a folder
        FolderFlag = 10,  // "1" folder, "0" file
        ColumnCount = 11,
    };
    // The first hidden column.
    static constexpr int FirstHidden = RawModified;

    explicit ContentsModel(QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Only the name of the row being renamed can be edited; an edit is handed on as nameEdited
    // and changes no text here (the row is read again once the rename went through).
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    void setEditableRow(int row) { m_editableRow = row; }
    int editableRow() const { return m_editableRow; }

    bool isFolderRow(int row) const;
    bool isPlainRow(int row) const;
    // The row's tooltip: its name, and for a container its type, time and size.
    QString ToolTipOf(int row) const;

signals:
    void nameEdited(int row, const QString& text);

private:
    int m_editableRow = -1;
};
