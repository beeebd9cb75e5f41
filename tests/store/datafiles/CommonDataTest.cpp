#include "store/StoreTestFixture.h"
#include "store/datafiles/CommonData1.h"
#include "store/datafiles/CommonData2.h"
#include "store/datafiles/RecordFields.h"
#include "util/FileQueries.h"
#include "util/MessageText.h"

namespace {

using Layout1 = CommonData1::Layout;

class CommonDataTest : public StoreTest
{
protected:
    QString common1Path() const { return dataFolder() + QStringLiteral("/kbxcl_common1.dat"); }
    QString common2Path() const { return dataFolder() + QStringLiteral("/kbxcl_common2.dat"); }
    QString defaultWorkingFolder() const { return path(QStringLiteral("local/KBX-c1")); }

    const QList<ChangePassword> list = {
        {QStringLiteral("経理"), QStringLiteral("Keiri#2024"), QStringLiteral("いつもの")},
        {QString(48, QLatin1Char('n')), QStringLiteral("P") + QString(31, QLatin1Char('w')), QString()},
    };

    // An administrator password "Admin-Pass1" with hint "猫の名前" and the list above.
    void saveCommon1()
    {
        CommonData1 data(engine, dataFolder());
        int match = -1;
        ASSERT_EQ(data.LoadCommon1(QStringLiteral("Admin-Pass1"), 1, &match), 0);
        EXPECT_EQ(match, 0); // no administrator password yet
        data.SetAdministratorHint(QStringLiteral("猫の名前"));
        ASSERT_EQ(data.SetChangePasswords(list), 0);
        ASSERT_EQ(data.SaveCommon1(QStringLiteral("Admin-Pass1")), 0);
    }
};

} // namespace

TEST_F(CommonDataTest, AdministratorPasswordAndChangePasswordsRoundTrip)
{
    saveCommon1();

    const QByteArray plain = plainFile(common1Path());
    ASSERT_EQ(plain.size(), 3 * CommonData1::RecordSize);
    EXPECT_EQ(RecordField::GetText(plain, 0, Layout1::TagChars), QStringLiteral("001             "));
    EXPECT_EQ(RecordField::GetText(plain, Layout1::AdminHint, Layout1::TextChars),
              QStringLiteral("猫の名前"));
    const QByteArray entry = plain.mid(CommonData1::RecordSize, CommonData1::RecordSize);
    EXPECT_EQ(RecordField::GetText(entry, 0, Layout1::TagChars), QStringLiteral("002             "));
    EXPECT_EQ(RecordField::GetText(entry, Layout1::Name, Layout1::TextChars),
              QStringLiteral("経理") + QString(46, QLatin1Char(' ')));
    EXPECT_FALSE(entry.mid(Layout1::Password, Layout1::PasswordBytes).contains(QByteArray("K\0e\0i", 5)));
    EXPECT_EQ(entry.mid(Layout1::Hint + Layout1::TextChars * 2), QByteArray(736, 0));

    CommonData1 loaded(engine, dataFolder());
    int match = -1;
    ASSERT_EQ(loaded.LoadCommon1(QStringLiteral("Admin-Pass1"), 1, &match), 0);
    EXPECT_EQ(match, 1);
    EXPECT_TRUE(loaded.isLoaded());
    EXPECT_EQ(loaded.GetChangePasswords(), list);
    EXPECT_EQ(loaded.AdministratorHint(), QStringLiteral("猫の名前"));
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(QLatin1Char('\n')).toStdString();

    // A new administrator password re-enciphers the list, which still reads back.
    ASSERT_EQ(loaded.SaveCommon1(QStringLiteral("New-Admin-2")), 0);
    CommonData1 again(engine, dataFolder());
    ASSERT_EQ(again.LoadCommon1(QStringLiteral("New-Admin-2"), 1, &match), 0);
    EXPECT_EQ(match, 1);
    EXPECT_EQ(again.GetChangePasswords(), list);
}

TEST_F(CommonDataTest, WrongAdministratorPasswordShowsTheHintAndLoadsNothing)
{
    saveCommon1();
    const QByteArray before = readFile(common1Path());

    CommonData1 data(engine, dataFolder());
    int match = -1;
    EXPECT_EQ(data.LoadCommon1(QStringLiteral("wrong-pass"), 1, &match), -1);
    EXPECT_EQ(match, 0);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(561) + QStringLiteral("猫の名前 」です。")});
    EXPECT_EQ(messages.shown().first().style.icon, MsgIcon::Error);
    EXPECT_FALSE(data.isLoaded());
    EXPECT_TRUE(data.GetChangePasswords().isEmpty());

    // A check in mode 0 only reports the match; the object stays unsaveable either way.
    messages.clear();
    EXPECT_EQ(data.LoadCommon1(QStringLiteral("wrong-pass"), 0, &match), 0);
    EXPECT_EQ(match, 0);
    // The change passwords read the same without the administrator password (the take-out
    // dialog offers them so).
    EXPECT_EQ(data.GetChangePasswords(), list);
    EXPECT_EQ(data.LoadCommon1(QString(), 0, &match), 0);
    EXPECT_EQ(data.GetChangePasswords(), list);
    EXPECT_EQ(data.LoadCommon1(QStringLiteral("Admin-Pass1"), 0, &match), 0);
    EXPECT_EQ(match, 1);
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_EQ(data.SaveCommon1(QStringLiteral("wrong-pass")), -1);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(562)});
    EXPECT_EQ(readFile(common1Path()), before);
}

TEST_F(CommonDataTest, Common1FileCanBeDeleted)
{
    CommonData1 data(engine, dataFolder());
    EXPECT_EQ(data.Common1Exists(), -1);
    saveCommon1();
    EXPECT_EQ(data.Common1Exists(), 0);
    EXPECT_EQ(data.DeleteCommon1(), 0);
    EXPECT_EQ(data.Common1Exists(), -1);
    EXPECT_EQ(data.DeleteCommon1(), -1);
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(messages.texts().first().startsWith(MsgA(564)));
    EXPECT_TRUE(messages.texts().first().endsWith(QStringLiteral("\n\n") + common1Path()));
}

TEST_F(CommonDataTest, WorkingFolderChoiceRoundTrips)
{
    CommonData2 data(engine, dataFolder(), defaultWorkingFolder());
    ASSERT_EQ(data.LoadCommon2(), 0);
    EXPECT_EQ(FileExists(common2Path()), 0);
    EXPECT_EQ(data.AngoTempFolderFlg, QStringLiteral("0"));
    EXPECT_EQ(data.AngoTempFolder, defaultWorkingFolder());
    EXPECT_EQ(data.Dummy1, QStringLiteral("dummy"));
    EXPECT_EQ(data.Dummy2, 1);

    data.AngoTempFolderFlg = QStringLiteral("1");
    data.AngoTempFolder = path(QStringLiteral("mine/作業"));
    data.Dummy2 = 7;
    ASSERT_EQ(data.SaveCommon2(), 0);

    const QByteArray plain = plainFile(common2Path());
    ASSERT_EQ(plain.size(), 4 * CommonData2::RecordSize);
    const char* keys[] = {"AngoTempFolderFlg", "AngoTempFolder", "Dummy1", "Dummy2"};
    const QString values[] = {QStringLiteral("1"), data.AngoTempFolder, QStringLiteral("dummy"),
                              QStringLiteral("7")};
    for (int i = 0; i < 4; ++i) {
        const qsizetype at = i * CommonData2::RecordSize;
        EXPECT_EQ(RecordField::GetText(plain, at, CommonData2::KeyChars), QLatin1String(keys[i]));
        EXPECT_EQ(RecordField::GetText(plain, at + CommonData2::ValueOffset, CommonData2::ValueChars),
                  values[i]);
    }

    CommonData2 loaded(engine, dataFolder(), defaultWorkingFolder());
    ASSERT_EQ(loaded.LoadCommon2(), 0);
    EXPECT_EQ(loaded.AngoTempFolderFlg, QStringLiteral("1"));
    EXPECT_EQ(loaded.AngoTempFolder, path(QStringLiteral("mine/作業")));
    EXPECT_EQ(loaded.Dummy2, 7);
    EXPECT_TRUE(messages.shown().isEmpty());
}

// With the flag "0" the stored folder gives way to the default; unknown keys are skipped.
TEST_F(CommonDataTest, DefaultFlagTakesTheDefaultWorkingFolder)
{
    QByteArray plain;
    for (const auto& [key, value] : {std::pair{"Other", "x"}, std::pair{"AngoTempFolder", "/old/place"},
                                     std::pair{"AngoTempFolderFlg", "0"}, std::pair{"Dummy2", "abc"}}) {
        QByteArray record(CommonData2::RecordSize, 0);
        RecordField::PutText(record, 0, CommonData2::KeyChars, QLatin1String(key));
        RecordField::PutText(record, CommonData2::ValueOffset, CommonData2::ValueChars, QLatin1String(value));
        plain += record;
    }
    writePlainFile(common2Path(), plain);
    CommonData2 data(engine, dataFolder(), defaultWorkingFolder());
    ASSERT_EQ(data.LoadCommon2(), 0);
    EXPECT_EQ(data.AngoTempFolder, defaultWorkingFolder());
    EXPECT_EQ(data.Dummy1, QStringLiteral("dummy"));
    EXPECT_EQ(data.Dummy2, 0);
}
