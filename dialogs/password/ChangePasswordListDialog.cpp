#include "dialogs/password/ChangePasswordListDialog.h"

#include "dialogs/password/ChangePasswordEntryDialog.h"
#include "dialogs/password/PasswordWidgets.h"
#include "store/StoreContext.h"
#include "store/datafiles/CommonData1.h"
#include "util/EventPump.h"
#include "util/MessageText.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int MaxEntries = 100;

} // namespace

ChangePasswordListDialog::ChangePasswordListDialog(QWidget* parent)
    : OpeningDialog(parent), m_list(new QTreeWidget)
{
    setWindowTitle(QStringLiteral("変更用パスワード登録"));
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setAccessibleName(QStringLiteral("変更用パスワードの一覧"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setHeaderLabels(
        {QStringLiteral("識別名称"), QStringLiteral("パスワード"), QStringLiteral("ヒント")});
    m_list->setColumnWidth(0, 160);
    m_list->setColumnWidth(1, 140);
    m_list->setColumnWidth(2, 200);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, &ChangePasswordListDialog::showMenu);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { editCurrent(); });

    auto* add = new QPushButton(QStringLiteral("新規"));
    add->setObjectName(QStringLiteral("add"));
    auto* up = new QPushButton(QStringLiteral("▲"));
    up->setObjectName(QStringLiteral("up"));
    up->setAccessibleName(QStringLiteral("上へ移動"));
    auto* down = new QPushButton(QStringLiteral("▼"));
    down->setObjectName(QStringLiteral("down"));
    down->setAccessibleName(QStringLiteral("下へ移動"));
    connect(add, &QPushButton::clicked, this, &ChangePasswordListDialog::addEntry);
    connect(up, &QPushButton::clicked, this, [this] { moveCurrent(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveCurrent(1); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ChangePasswordListDialog::onOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* side = new QVBoxLayout;
    side->addWidget(add);
    side->addWidget(up);
    side->addWidget(down);
    side->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(m_list, 1);
    top->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    resize(620, 360);
}

bool ChangePasswordListDialog::initDialog()
{
    m_list->clear();
    if (store) {
        CommonData1 common(store->engine(), store->dataFolder());
        int match = 0;
        if (common.LoadCommon1(adminPassword, 1, &match) == 0) {
            for (const ChangePassword& entry : common.GetChangePasswords()) {
                m_list->addTopLevelItem(new QTreeWidgetItem({entry.name, entry.password, entry.hint}));
            }
        }
    }
    return true;
}

void ChangePasswordListDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    OpeningDialog::keyPressEvent(event);
}

void ChangePasswordListDialog::addEntry()
{
    if (m_list->topLevelItemCount() >= MaxEntries) {
        WarnAndFocus(MsgA(522) + QString::number(MaxEntries) + MsgA(523), nullptr);
        return;
    }
    ChangePasswordEntryDialog input(this);
    input.store = store;
    if (input.exec() == QDialog::Accepted) {
        m_list->addTopLevelItem(new QTreeWidgetItem({input.name, input.password, input.hint}));
    }
}

void ChangePasswordListDialog::editCurrent()
{
    QTreeWidgetItem* item = m_list->currentItem();
    if (!item || m_list->selectedItems().size() != 1) {
        return;
    }
    WaitPumping(100);
    ChangePasswordEntryDialog input(this);
    input.store = store;
    input.editFlag = 1;
    input.name = item->text(0);
    input.password = item->text(1);
    input.hint = item->text(2);
    if (input.exec() == QDialog::Accepted) {
        item->setText(0, input.name);
        item->setText(1, input.password);
        item->setText(2, input.hint);
    }
}

void ChangePasswordListDialog::deleteSelected()
{
    if (m_list->selectedItems().isEmpty() || !AskYesNo(MsgA(524))) {
        return;
    }
    for (int row = m_list->topLevelItemCount() - 1; row >= 0; --row) {
        if (m_list->topLevelItem(row)->isSelected()) {
            delete m_list->takeTopLevelItem(row);
        }
    }
}

void ChangePasswordListDialog::moveCurrent(int step)
{
    QTreeWidgetItem* item = m_list->currentItem();
    if (!item) {
        return;
    }
    const int row = m_list->indexOfTopLevelItem(item);
    const int target = row + step;
    if (target < 0 || target >= m_list->topLevelItemCount()) {
        return;
    }
    m_list->setUpdatesEnabled(false);
    m_list->takeTopLevelItem(row);
    m_list->insertTopLevelItem(target, item);
    m_list->clearSelection();
    m_list->setCurrentItem(item);
    item->setSelected(true);
    m_list->scrollToItem(item);
    m_list->setUpdatesEnabled(true);
}

void ChangePasswordListDialog::showMenu(const QPoint& at)
{
    QTreeWidgetItem* item = m_list->itemAt(at);
    if (!item || !item->isSelected()) {
        return;
    }
    QMenu menu(this);
    QAction* edit = menu.addAction(QStringLiteral("変更...　　"));
    edit->setEnabled(m_list->selectedItems().size() == 1);
    QAction* remove = menu.addAction(QStringLiteral("削除"));
    QAction* chosen = menu.exec(m_list->viewport()->mapToGlobal(at));
    if (chosen == edit) {
        editCurrent();
    } else if (chosen == remove) {
        deleteSelected();
    }
}

void ChangePasswordListDialog::onOk()
{
    const int count = m_list->topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        for (int j = i + 1; j < count; ++j) {
            const QString name = m_list->topLevelItem(i)->text(0);
            if (name == m_list->topLevelItem(j)->text(0)) {
                WarnAndFocus(QStringLiteral("識別名称 ' ") + name + MsgA(521), m_list);
                return;
            }
        }
    }
    if (store) {
        QList<ChangePassword> entries;
        for (int i = 0; i < count; ++i) {
            const QTreeWidgetItem* item = m_list->topLevelItem(i);
            entries.append({item->text(0), item->text(1), item->text(2)});
        }
        CommonData1 common(store->engine(), store->dataFolder());
        int match = 0;
        // Loaded again with the administrator password, so the save is allowed; its failures
        // have been shown and the dialog closes all the same.
        if (common.LoadCommon1(adminPassword, 1, &match) == 0 && common.SetChangePasswords(entries) == 0) {
            common.SaveCommon1(adminPassword);
        }
    }
    accept();
}

void ChangePasswordListDialog::done(int result)
{
    // The list showed passwords in clear: overwrite the texts before the items go.
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_list->topLevelItem(i);
        item->setText(1, QString(item->text(1).size(), QLatin1Char('0')));
    }
    m_list->clear();
    OpeningDialog::done(result);
}
