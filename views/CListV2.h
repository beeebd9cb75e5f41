#pragma once

#include <QTreeWidget>

// The files that are decrypted for use right now (right pane).
class CListV2 : public QTreeWidget
{
    Q_OBJECT

public:
    explicit CListV2(QWidget* parent = nullptr);
};
