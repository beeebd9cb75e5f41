#pragma once

#include "dialogs/common/OpeningDialog.h"

class QTreeWidget;
class StoreContext;

// Keeps the list of change passwords: new, edit (double click or the context menu), delete, move
// up and down. The list is read with the administrator password the caller has verified and
// written back on OK. Escape does not close it: only Cancel or the close box discards changes.
class ChangePasswordListDialog : public OpeningDialog
{
public:
    explicit ChangePasswordListDialog(QWidget* parent = nullptr);

    QString adminPassword;
    StoreContext* store = nullptr;

    QTreeWidget* list() const { return m_list; }
    void done(int result) override;
    // The buttons and menu entries, for the window and for tests.
    void addEntry();
    void editCurrent();
    void deleteSelected();
    void moveCurrent(int step);

protected:
    bool initDialog() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void onOk();
    void showMenu(const QPoint& at);

    QTreeWidget* m_list;
};
