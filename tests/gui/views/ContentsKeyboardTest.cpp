// The contents list worked with the keyboard alone, as a screen reader's user works it.

#include "frame/commands/CommandTable.h"
#include "frame/tree/FolderTreeView.h"
#include "gui/AccessibleControls.h"
#include "gui/views/ContentsFixture.h"
#include "store/working/WorkingCopyPaths.h"
#include "support/TestFiles.h"
#include "util/FileChanges.h"
#include "views/decrypted/DecryptedFilesView.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class ContentsKeyboardTest : public ContentsFixture
{
protected:
    // The window shown and active, the folder registered, the report's row selected and the
    // focus in the list.
    void selectReportInActiveWindow()
    {
        registerFolder();
        frame->show();
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        const int row = rowOf(QStringLiteral("報告書.txt"));
        ASSERT_GE(row, 0);
        list->setFocus();
        list->setCurrentIndex(list->model()->index(row, 0));
        ASSERT_EQ(list->selectedRowCount(), 1);
    }
};

} // namespace

// A menu closed with Escape leaves the focus on the menu bar; the edit menu opened again still
// acts on the list's selection.
TEST_F(ContentsKeyboardTest, MenusClosedWithEscapeStillActOnTheList)
{
    selectReportInActiveWindow();
    QMenu* edit = frame->topMenus().at(1);
    QTest::keyClick(list, Qt::Key_E, Qt::AltModifier);
    ASSERT_TRUE(WaitFor([edit] { return edit->isVisible(); }));
    EXPECT_TRUE(frame->action(Command::Copy)->isEnabled());
    QTest::keyClick(edit, Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([edit] { return !edit->isVisible(); }));
    ASSERT_EQ(QApplication::focusWidget(), frame->menuBar());

    QTest::keyClick(frame->menuBar(), Qt::Key_Down);
    ASSERT_TRUE(WaitFor([edit] { return edit->isVisible(); }));
    EXPECT_TRUE(frame->action(Command::Cut)->isEnabled());
    EXPECT_TRUE(frame->action(Command::Copy)->isEnabled());
    QTest::keyClick(edit, Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([edit] { return !edit->isVisible(); }));
    QTest::keyClick(frame->menuBar(), Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), list) << "a second Escape gives the list its focus back";
}

// The context menus of the list and the tree open from the keyboard at the selected row, named
// after their pane, where a screen reader walking the window finds them.
TEST_F(ContentsKeyboardTest, ContextMenusOpenFromTheKeyboardAtTheRowAndAreInTheAccessibilityTree)
{
    selectReportInActiveWindow();
    QAbstractItemView* tree = frame->tree();
    // A decrypted copy of the report, as an open leaves it, so that the third pane has a row.
    DecryptedFilesView* decrypted = frame->decryptedFiles();
    const QString copy = frame->store().copyPaths().WorkingCopyPathOf(report);
    ASSERT_EQ(CreateDirectoryTree(QFileInfo(copy).path(), nullptr, 0700), 0);
    WriteTestFile(copy, "x");
    ASSERT_TRUE(WaitFor([decrypted] { return decrypted->model()->rowCount() == 1; }));
    decrypted->selectionModel()->setCurrentIndex(
        decrypted->model()->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const struct
    {
        const char* name;
        QAbstractItemView* pane;
        bool menuKey; // the desktop's request of the menu key; otherwise Shift+F10
        QString menuName;
    } rows[] = {
        {"list, menu key", list, true, QStringLiteral("ファイル／フォルダー 一覧のメニュー")},
        {"list, Shift+F10", list, false, QStringLiteral("ファイル／フォルダー 一覧のメニュー")},
        {"tree, Shift+F10", tree, false, QStringLiteral("暗号フォルダーのメニュー")},
        {"decrypted files, Shift+F10", decrypted, false, QStringLiteral("復号中ファイルのメニュー")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        row.pane->setFocus();
        const QModelIndex current = row.pane->currentIndex();
        ASSERT_TRUE(current.isValid());
        const QRect at(row.pane->viewport()->mapToGlobal(row.pane->visualRect(current).topLeft()),
                       row.pane->visualRect(current).size());
        QString name;
        QRect shown;
        bool inTree = false;
        bool defaultHighlighted = true;
        QTimer::singleShot(0, [&] {
            ASSERT_TRUE(WaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            name = AccessibleName(menu);
            shown = menu->geometry();
            // Enter takes the default entry (開く) at once.
            if (menu->defaultAction()) {
                defaultHighlighted =
                    WaitFor([menu] { return menu->activeAction() == menu->defaultAction(); });
            }
            inTree = InAccessibilityTree(frame.get(), menu);
            menu->close();
        });
        if (row.menuKey) {
            QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(), QPoint());
            QApplication::sendEvent(row.pane, &request);
        } else {
            QTest::keyClick(row.pane, Qt::Key_F10, Qt::ShiftModifier);
        }
        EXPECT_EQ(name, row.menuName);
        // At the row: its top within the row, and over it (a menu at the screen's edge moves in).
        EXPECT_TRUE(shown.top() >= at.top() && shown.top() <= at.bottom() && shown.left() <= at.right() &&
                    shown.right() >= at.left())
            << shown.x() << "," << shown.y() << " " << shown.width() << "x" << shown.height() << " over "
            << at.x() << "," << at.y() << " " << at.width() << "x" << at.height();
        EXPECT_TRUE(inTree);
        EXPECT_TRUE(defaultHighlighted);
    }
}
