// What a delete to the Trash leaves there for file managers, and undo from records in either
// form the program has written.

#include "operations/OperationsFixture.h"
#include "operations/inside/DeleteEntries.h"
#include "operations/inside/UndoHistory.h"
#include "operations/inside/UndoRevert.h"

#include <QUrl>

namespace {

class TrashRecordTest : public OperationsTest
{
protected:
    void SetUp() override
    {
        OperationsTest::SetUp();
        // The Trash lives in the temporary home, on the folder's volume.
        qputenv("XDG_DATA_HOME", QFile::encodeName(path(QStringLiteral("xdg"))));
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("xdg"))));
        ASSERT_TRUE(QDir().mkpath(folder));
    }

    // The Path= value of the one record in the Trash.
    QByteArray recordedPath() const
    {
        const QDir info(path(QStringLiteral("xdg/Trash/info")));
        const QStringList records = info.entryList({QStringLiteral("*.trashinfo")}, QDir::Files);
        EXPECT_EQ(records.size(), 1);
        for (const QByteArray& line : ReadTestFile(info.filePath(records.value(0))).split('\n')) {
            if (line.startsWith("Path=")) {
                return line.mid(5);
            }
        }
        return {};
    }

    // Deletes the folder to the Trash as the user does, answering yes.
    void trash(const QString& folder)
    {
        messages.script({MsgButton::Yes});
        ASSERT_EQ(DeleteEntries(store, history).Run({folder}, root, false), 0) << shownMessages();
        ASSERT_FALSE(QFileInfo::exists(folder));
    }

    UndoHistory history;
    // Letters a path may hold that the record must escape: Japanese, a space, "%" before what
    // reads as an escape, "#".
    const QString folder = root + QStringLiteral("/資料 100%41#1");
};

} // namespace

TEST_F(TrashRecordTest, RecordCarriesTheEscapedPathAndUndoBringsTheItemBack)
{
    const QString report = encrypt(folder, QStringLiteral("report.txt"));
    trash(folder);

    const QByteArray recorded = recordedPath();
    EXPECT_EQ(recorded, QUrl::toPercentEncoding(folder, "/"));
    EXPECT_EQ(QUrl::fromPercentEncoding(recorded), folder);

    ASSERT_EQ(UndoRevert(store, history).RevertNewest(), 0) << shownMessages();
    EXPECT_TRUE(QFileInfo::exists(report));
}

// Items trashed by the version that wrote the path unescaped still come back.
TEST_F(TrashRecordTest, UnescapedRecordOfAnEarlierVersionIsStillUndone)
{
    const QString report = encrypt(folder, QStringLiteral("report.txt"));
    trash(folder);
    const QDir info(path(QStringLiteral("xdg/Trash/info")));
    const QString record =
        info.filePath(info.entryList({QStringLiteral("*.trashinfo")}, QDir::Files).value(0));
    QByteArray text = ReadTestFile(record);
    text.replace("Path=" + recordedPath(), "Path=" + folder.toUtf8());
    WriteTestFile(record, text);
    ASSERT_EQ(recordedPath(), folder.toUtf8());

    ASSERT_EQ(UndoRevert(store, history).RevertNewest(), 0) << shownMessages();
    EXPECT_TRUE(QFileInfo::exists(report));
}
