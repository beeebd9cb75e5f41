#include "store/checks/OpenFileChecks.h"

#include "store/StoreTestFixture.h"

#include <QFile>
#include <QProcess>

class OpenFileChecksTest : public StoreTest
{
protected:
    // Another program that keeps the file open until it is stopped.
    void holdOpen(const QString& file)
    {
        holder.start(QStringLiteral("/bin/sh"),
                     {QStringLiteral("-c"), QStringLiteral("exec 3<\"$1\"; echo ready; exec sleep 60"),
                      QStringLiteral("sh"), file});
        ASSERT_TRUE(holder.waitForReadyRead(5000));
    }
    void TearDown() override
    {
        if (holder.state() != QProcess::NotRunning) {
            holder.kill();
            holder.waitForFinished();
        }
        StoreTest::TearDown();
    }

    QProcess holder;
};

TEST_F(OpenFileChecksTest, AFileHeldByAnotherProcessIsOpenElsewhere)
{
    const QString folder = path(QStringLiteral("f"));
    const QString held = folder + QStringLiteral("/sub/held.txt");
    const QString free = folder + QStringLiteral("/free.txt");
    QDir().mkpath(folder + QStringLiteral("/sub"));
    writeFile(held, "held");
    writeFile(free, "free");

    QFile ownHandle(free);
    ASSERT_TRUE(ownHandle.open(QIODevice::ReadOnly));
    EXPECT_EQ(IsOpenElsewhere(free), 0) << "the program's own handles do not count";
    QString name;
    EXPECT_EQ(AnyFileOpenElsewhere(folder, &name), 0);

    holdOpen(held);
    EXPECT_EQ(IsOpenElsewhere(held), -1);
    EXPECT_EQ(AnyFileOpenElsewhere(folder, &name), -1);
    EXPECT_EQ(name, QStringLiteral("held.txt"));

    holder.kill();
    holder.waitForFinished();
    EXPECT_EQ(IsOpenElsewhere(held), 0);
    EXPECT_EQ(IsOpenElsewhere(path(QStringLiteral("missing"))), 0);
}
