#include "util/MainWindowServices.h"

#include <gtest/gtest.h>

TEST(MainWindowServicesTest, NestedBusyLevelsEndAtTheOutermost)
{
    MainWindowServices services;
    QList<bool> changes;
    QObject::connect(&services, &MainWindowServices::busyChanged, [&](bool busy) { changes.append(busy); });

    services.BeginBusy();
    services.SetBusyText(QStringLiteral("/home/u/secret/report.txt"), true);
    EXPECT_EQ(services.busyText(), QStringLiteral("report.txt"));
    services.BeginBusy();
    services.EndBusy();
    EXPECT_TRUE(services.IsBusy());
    services.EndBusy();
    EXPECT_FALSE(services.IsBusy());
    EXPECT_EQ(services.busyText(), QString());
    services.EndBusy(); // unmatched: stays idle
    EXPECT_EQ(services.busyLevel(), 0);
    EXPECT_EQ(changes, (QList<bool>{true, false}));
}

TEST(MainWindowServicesTest, StopIsHonouredOnlyWhileAbortable)
{
    MainWindowServices services;
    services.RequestCancel();
    EXPECT_FALSE(services.CancelRequested());
    {
        BusyScope scope(true, services);
        EXPECT_TRUE(services.isAbortable());
        services.RequestCancel();
        EXPECT_TRUE(services.CancelRequested());
    }
    EXPECT_FALSE(services.isAbortable());
    EXPECT_FALSE(services.IsBusy());
    // A new abortable operation starts without the old request.
    services.SetAbortable(true);
    EXPECT_FALSE(services.CancelRequested());
}
