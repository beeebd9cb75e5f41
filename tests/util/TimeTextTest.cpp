#include "util/TimeText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class TimeTextTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString path(const QString& name) const { return m_dir.path() + QLatin1Char('/') + name; }

    // Creates a file with the given last-write time (local time).
    QString makeFile(const QString& name, const QDateTime& written)
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
        file.flush(); // a later flush would set the time again
        EXPECT_TRUE(file.setFileTime(written, QFileDevice::FileModificationTime));
        file.close();
        return file.fileName();
    }

    static QDateTime local(int year, int month, int day, int hour, int minute, int second)
    {
        return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::LocalTime);
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(TimeTextTest, LastWriteAndLastAccessOfAFile)
{
    const QString file = makeFile(QStringLiteral("a.txt"), local(2024, 3, 5, 7, 8, 9));
    {
        QFile handle(file);
        ASSERT_TRUE(handle.open(QIODevice::ReadWrite));
        ASSERT_TRUE(handle.setFileTime(local(2023, 12, 31, 23, 59, 58), QFileDevice::FileAccessTime));
    }

    QString text;
    QDateTime time;
    ASSERT_EQ(FileTimeText(file, FileTimeKind::LastWrite, &text, &time), 0);
    EXPECT_EQ(text, QString::fromUtf8("2024年03月05日07:08:09"));
    EXPECT_EQ(time, local(2024, 3, 5, 7, 8, 9));

    ASSERT_EQ(FileTimeText(file, FileTimeKind::LastAccess, &text, &time), 0);
    EXPECT_EQ(text, QString::fromUtf8("2023年12月31日23:59:58"));
    EXPECT_EQ(time, local(2023, 12, 31, 23, 59, 58));
}

TEST_F(TimeTextTest, CreationIsTheMomentTheFileWasMade)
{
    const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
    const QString file = makeFile(QStringLiteral("new.txt"), local(2001, 2, 3, 4, 5, 6));
    const QDateTime after = QDateTime::currentDateTime().addSecs(2);

    QString text;
    QDateTime time;
    ASSERT_EQ(FileTimeText(file, FileTimeKind::Creation, &text, &time), 0);
    EXPECT_GE(time, before);
    EXPECT_LE(time, after);
    EXPECT_EQ(text, LocalTimeText(time));
}

TEST_F(TimeTextTest, MissingFileClearsTheOutputs)
{
    QString text = QStringLiteral("stale");
    QDateTime time = QDateTime::currentDateTime();
    EXPECT_EQ(FileTimeText(path(QStringLiteral("missing")), FileTimeKind::LastWrite, &text, &time), -1);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_FALSE(time.isValid());

    text = QStringLiteral("stale");
    EXPECT_EQ(FindTimeText(path(QStringLiteral("*.none")), FileTimeKind::LastWrite, &text, &time), -1);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(FindTimeText(path(QStringLiteral("missing")), FileTimeKind::LastWrite, &text, nullptr), -1);
    EXPECT_EQ(FileTimeText(QString(), FileTimeKind::LastWrite, nullptr, nullptr), -1);
}

TEST_F(TimeTextTest, FindTakesTheLastMatchInNameOrder)
{
    makeFile(QStringLiteral("b.txt"), local(2022, 2, 2, 2, 2, 2));
    makeFile(QStringLiteral("a.txt"), local(2021, 1, 1, 1, 1, 1));
    makeFile(QStringLiteral("c.dat"), local(2023, 3, 3, 3, 3, 3));

    QString text;
    QDateTime time;
    ASSERT_EQ(FindTimeText(path(QStringLiteral("*.txt")), FileTimeKind::LastWrite, &text, &time), 0);
    EXPECT_EQ(text, QString::fromUtf8("2022年02月02日02:02:02"));
    EXPECT_EQ(time, local(2022, 2, 2, 2, 2, 2));
}

TEST_F(TimeTextTest, FindMatchesOnlyStarAndQuestionMark)
{
    const QDateTime written = local(2020, 6, 7, 8, 9, 10);
    makeFile(QStringLiteral("x[1].txt"), written);
    makeFile(QStringLiteral("x1.txt"), local(2019, 1, 1, 0, 0, 0));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("plain")));
    makeFile(QStringLiteral("plain/README"), written);

    struct Case
    {
        const char* pattern;
        int result;
    };
    const Case cases[] = {
        {"x[1].txt", 0},     // a plain path with brackets
        {"x[1]*", 0},        // brackets stand for themselves in a pattern
        {"x[1]?txt", 0},     // ? is one character
        {"x[1]??txt", -1},   // ... and exactly one
        {"plain/*.*", 0},    // every name, one without a dot included
        {"plain/READ*", 0},  // a prefix
        {"plain/read*", -1}, // names are case-sensitive
        {"plain/*.txt", -1}, // no such name
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        QString text;
        EXPECT_EQ(FindTimeText(path(QString::fromUtf8(c.pattern)), FileTimeKind::LastWrite, &text), c.result)
            << c.pattern;
        if (c.result == 0) {
            EXPECT_EQ(text, LocalTimeText(written)) << c.pattern;
        }
    }
}

TEST_F(TimeTextTest, FindWorksForFolders)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("sub")));
    QString text;
    EXPECT_EQ(FindTimeText(path(QStringLiteral("sub")), FileTimeKind::LastWrite, &text), 0);
    EXPECT_FALSE(text.isEmpty());
    EXPECT_EQ(FindTimeText(path(QStringLiteral("s?b")), FileTimeKind::LastWrite, &text), 0);
    EXPECT_EQ(FindTimeText(QStringLiteral("/"), FileTimeKind::LastWrite, &text), 0);
}

TEST(LocalTimeTextTest, PadsEveryFieldButTheYear)
{
    const QDateTime time(QDate(2024, 1, 31), QTime(9, 5, 7), Qt::LocalTime);
    EXPECT_EQ(LocalTimeText(time), QString::fromUtf8("2024年01月31日09:05:07"));
    EXPECT_EQ(LocalTimeText(QDateTime()), QString());
}

TEST(CompactTimeTextTest, SplitsFourteenDigits)
{
    EXPECT_EQ(CompactTimeText(QStringLiteral("20240305070809")), QStringLiteral("2024/03/05 07:08:09"));
    // Not validated: whatever stands in the places is shown, a short text gives empty places.
    EXPECT_EQ(CompactTimeText(QStringLiteral("2024ab05070809")), QStringLiteral("2024/ab/05 07:08:09"));
    EXPECT_EQ(CompactTimeText(QStringLiteral("202403")), QStringLiteral("2024/03/ ::"));
    EXPECT_EQ(CompactTimeText(QString()), QStringLiteral("// ::"));
}
