#pragma once

#include "views/common/TextRowModel.h"

// The rows of the decrypted-files list (DecryptedFileRow): six text columns with fixed indices,
// of which only the first is shown.
class DecryptedFilesModel : public TextRowModel
{
    Q_OBJECT

public:
    enum Column
    {
        Title = 0,         // the plain file's name, or its name without extension
        Changed = 1,       // "1" changed or without container, "0" unchanged
        FileName = 2,      // the plain file name
        CopyPath = 3,      // full path of the plain copy (the key of the row)
        Seen = 4,          // "1" seen in the current scan
        ContainerPath = 5, // empty when the copy has no container
        ColumnCount = 6,
    };

    explicit DecryptedFilesModel(QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // A-136 and the name for a copy without container; otherwise A-137 when changed, the name and
    // A-138 with the folder of the container.
    QString ToolTipOf(int row) const;
};
