#pragma once

#include <QTreeView>

class DecryptedFilesModel;

// The files that are decrypted for use right now (right pane). The rows live in its
// DecryptedFilesModel; only their first column is shown.
class CListV2 : public QTreeView
{
    Q_OBJECT

public:
    explicit CListV2(QWidget* parent = nullptr);

    DecryptedFilesModel* decryptedModel() const { return m_model; }
    int rowCount() const;
    int selectedRowCount() const;

private:
    DecryptedFilesModel* m_model;
};
