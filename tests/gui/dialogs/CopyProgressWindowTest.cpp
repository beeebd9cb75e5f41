#include "dialogs/confirmation/CopyProgressWindow.h"

#include "util/MainWindowServices.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>

#include <gtest/gtest.h>

TEST(CopyProgressWindowTest, ShowsTheFileAndTheShareDoneAndItsButtonStopsTheOperation)
{
    MainWindowServices& services = MainWindowServices::instance();
    services.reset();
    QWidget owner;
    CopyProgressWindow window(&owner, QStringLiteral("バックアップ"));
    auto* dialog = owner.findChild<QProgressDialog*>(QStringLiteral("copyProgress"));
    ASSERT_NE(dialog, nullptr);
    {
        BusyScope busy(true);
        services.SetBusyText(QStringLiteral("/vault/secret/a.kbxf"), true);
        window.progress(3LL << 40, 4LL << 40); // sizes beyond the bar's int range
        EXPECT_EQ(dialog->labelText(), QStringLiteral("a.kbxf"));
        EXPECT_EQ(dialog->value() * 4, dialog->maximum() * 3);
        EXPECT_FALSE(services.CancelRequested());
        dialog->findChild<QPushButton*>()->click();
        EXPECT_TRUE(services.CancelRequested());
    }
    services.reset();
}
