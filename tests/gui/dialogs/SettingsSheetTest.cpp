#include "dialogs/settings/SettingsSheet.h"

#include "dialogs/settings/SettingsDialog.h"
#include "engine/ContainerCrypt.h"
#include "engine/CryptEngine.h"
#include "gui/dialogs/DialogTestSupport.h"
#include "store/StoreContext.h"
#include "store/datafiles/CommonData2.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/working/WorkingFolderLocation.h"
#include "support/FakePlatform.h"
#include "support/RecordingPromptService.h"
#include "support/TestFiles.h"
#include "util/ResultCodes.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {

// The store of a user with a temporary home, started as the window starts it, and a registered
// folder whose store name is S00001.
class SettingsSheetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        platform.setSpecialFolder(SpecialFolder::Data, path(QStringLiteral("data")));
        platform.setSpecialFolder(SpecialFolder::Home, path(QString()));
        platform.addVolume(path(QString()), QStringLiteral("ext4"), DriveFixed);
        ASSERT_EQ(store.Start(), 0) << shownMessages();
        ASSERT_TRUE(QDir().mkpath(root));
        ASSERT_EQ(store.folders().AddRegisteredFolder(root, QString(), QStringLiteral("Pass-word1"),
                                                      QStringLiteral("0"), QStringLiteral("S00001"),
                                                      QStringLiteral("0"), DriveFixed),
                  0);
        messages.clear();
    }

    QString path(const QString& relative) const
    {
        return relative.isEmpty() ? m_home.path() : m_home.path() + QLatin1Char('/') + relative;
    }
    std::string shownMessages() const
    {
        return messages.texts().join(QStringLiteral("\n--\n")).toStdString();
    }

    // Runs the sheet at `page`; `act` works the open sheet, then OK (or Cancel) ends it.
    int runSheet(int first, std::function<void(SettingsDialog*)> act, bool ok = true)
    {
        whenDialogOpens([act, ok](QWidget* w) {
            auto* sheet = dynamic_cast<SettingsDialog*>(w);
            ASSERT_NE(sheet, nullptr);
            act(sheet);
            auto* buttons = sheet->findChild<QDialogButtonBox*>();
            buttons->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        });
        page = first;
        return RunSettingsSheet(nullptr, store, &page, &outcome);
    }

    static void turnTo(SettingsDialog* sheet, int page) { sheet->pages()->setCurrentIndex(page); }
    template <typename T>
    static T* control(SettingsDialog* sheet, const char* name)
    {
        T* found = sheet->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    SettingsRecord savedSettings() const
    {
        SettingsRecord record;
        LoadSettings(record, store.dataFolder());
        return record;
    }
    WorkingFolderChoice savedWorkingFolder()
    {
        CommonData2 saved(engine, store.dataFolder(), DefaultWorkingFolder());
        EXPECT_EQ(saved.LoadCommon2(), 0);
        return {saved.AngoTempFolderFlg, saved.AngoTempFolder};
    }
    void setWorkingFolder(const QString& flag, const QString& folder)
    {
        store.common2().AngoTempFolderFlg = flag;
        store.common2().AngoTempFolder = folder;
    }

    FakePlatform platform;
    RecordingMessageService messages;
    RecordingPromptService prompts;
    CryptEngine engine;
    ContainerCrypt crypt{engine};
    SettingsSheetOutcome outcome;

private:
    QTemporaryDir m_home;

protected:
    StoreContext store{path(QStringLiteral("config")), engine, crypt};
    const QString root = path(QStringLiteral("vault/secret"));
    int page = 0; // the first page of a run, and after OK the page that was showing
};

} // namespace

TEST_F(SettingsSheetTest, EachBoxWritesOnlyItsKeyAndOkSavesAtOnce)
{
    const QString dropMoveNotice = QStringLiteral("使用方法に関する注意）");
    const struct
    {
        const char* key;
        int page;
        int SettingsRecord::*field;
        bool ticked; // how the box shows the default
        int after;   // the key after one click on its box
        QString notice;
    } boxes[] = {
        {"TitleMode", 0, &SettingsRecord::TitleMode, true, 1, QString()},
        {"ReturnAngoMsgFlg", 0, &SettingsRecord::ReturnAngoMsgFlg, true, 0, QString()},
        {"ReadOnlyMsgDispFlg", 0, &SettingsRecord::ReadOnlyMsgDispFlg, true, 0, QString()},
        {"ExtNonAplFlg", 1, &SettingsRecord::ExtNonAplFlg, true, 0, QString()},
        {"OutsideReWriteSkipFlg", 1, &SettingsRecord::OutsideReWriteSkipFlg, false, 1, QString()},
        {"OutsideDDMoveFlg", 1, &SettingsRecord::OutsideDDMoveFlg, false, 1, dropMoveNotice},
        {"UsbAutoKaijyoFlg", 2, &SettingsRecord::UsbAutoKaijyoFlg, false, 1, MsgA(548)},
    };
    for (const auto& b : boxes) {
        messages.clear();
        SettingsRecord expected = store.settings();
        expected.*b.field = b.after;
        ASSERT_EQ(runSheet(b.page,
                           [&](SettingsDialog* sheet) {
                               auto* box = control<QCheckBox>(sheet, b.key);
                               ASSERT_TRUE(box->isVisible()) << b.key << " is on the page shown first";
                               EXPECT_EQ(box->isChecked(), b.ticked) << b.key;
                               box->click();
                           }),
                  0)
            << b.key;
        EXPECT_EQ(store.settings(), expected) << b.key;
        EXPECT_EQ(savedSettings(), expected) << b.key << ": saved at OK, not only at exit";
        EXPECT_EQ(outcome.titleModeChanged, b.field == &SettingsRecord::TitleMode) << b.key;
        EXPECT_FALSE(outcome.workingFolderChanged);
        if (b.notice.isEmpty()) {
            EXPECT_TRUE(messages.texts().isEmpty()) << b.key << shownMessages();
        } else {
            ASSERT_EQ(messages.shown().size(), 1) << b.key;
            EXPECT_TRUE(messages.shown().first().text.startsWith(b.notice)) << b.key;
            EXPECT_EQ(messages.shown().first().style, MessageStyle::information());
        }
        // Put back for the next row.
        store.settings() = SettingsRecord();
    }
}

TEST_F(SettingsSheetTest, NoticesFollowTheClicksThatLeaveTheStoredState)
{
    // Ticking then clearing the removable-disk box: A-548 once, on the first click. Clearing the
    // drag-move box says nothing.
    store.settings().OutsideDDMoveFlg = 1;
    ASSERT_EQ(runSheet(SettingsDialog::ActionPage,
                       [](SettingsDialog* sheet) {
                           control<QCheckBox>(sheet, "OutsideDDMoveFlg")->click();
                           turnTo(sheet, SettingsDialog::FolderPage);
                           auto* usb = control<QCheckBox>(sheet, "UsbAutoKaijyoFlg");
                           usb->click();
                           usb->click();
                       }),
              0);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(548)});
    EXPECT_EQ(store.settings().OutsideDDMoveFlg, 0);
    EXPECT_EQ(store.settings().UsbAutoKaijyoFlg, 0);
    EXPECT_EQ(page, SettingsDialog::FolderPage) << "the page showing at OK is handed back";
}

TEST_F(SettingsSheetTest, PagesNeverShownAndCancelChangeNothing)
{
    // Values no box can show: a page that writes would turn them into 0 or 1.
    store.settings().ExtNonAplFlg = 7;
    store.settings().UsbAutoKaijyoFlg = 7;
    store.settings().TitleMode = 7;
    setWorkingFolder(QStringLiteral("1"), path(QStringLiteral("work")));
    const SettingsRecord before = store.settings();

    ASSERT_EQ(runSheet(SettingsDialog::FolderPage, [](SettingsDialog*) {}), 0);
    EXPECT_EQ(store.settings().ExtNonAplFlg, 7);
    EXPECT_EQ(store.settings().TitleMode, 7);
    EXPECT_EQ(store.settings().UsbAutoKaijyoFlg, 0) << "the page shown writes its box";
    EXPECT_EQ(store.common2().AngoTempFolder, path(QStringLiteral("work")));
    EXPECT_FALSE(outcome.workingFolderChanged);

    store.settings() = before;
    const QByteArray fileBefore = ReadTestFile(SettingsFilePath(store.dataFolder()));
    EXPECT_EQ(runSheet(
                  SettingsDialog::DisplayPage,
                  [](SettingsDialog* sheet) {
                      control<QCheckBox>(sheet, "ReturnAngoMsgFlg")->click();
                      turnTo(sheet, SettingsDialog::WorkingFolderPage);
                      control<QRadioButton>(sheet, "defaultLocation")->click();
                  },
                  false),
              Result::Cancelled);
    EXPECT_EQ(store.settings(), before);
    EXPECT_EQ(store.common2().AngoTempFolderFlg, QStringLiteral("1"));
    EXPECT_EQ(store.common2().AngoTempFolder, path(QStringLiteral("work")));
    EXPECT_FALSE(outcome.accepted);
    EXPECT_EQ(ReadTestFile(SettingsFilePath(store.dataFolder())), fileBefore);
}

TEST_F(SettingsSheetTest, WorkingFolderInUseCannotBeLeft)
{
    const struct
    {
        const char* name;
        QString flag;
        QString current; // where the store folder S00001 lies
        const char* click;
        const char* staysChecked;
    } cases[] = {
        {"specified to default", QStringLiteral("1"), path(QStringLiteral("work")), "defaultLocation",
         "specifiedLocation"},
        {"default to specified", QStringLiteral("0"), DefaultWorkingFolder(), "specifiedLocation",
         "defaultLocation"},
    };
    for (const auto& c : cases) {
        messages.clear();
        setWorkingFolder(c.flag, c.current);
        ASSERT_TRUE(QDir().mkpath(c.current + QStringLiteral("/S00001")));
        ASSERT_EQ(runSheet(SettingsDialog::WorkingFolderPage,
                           [&](SettingsDialog* sheet) {
                               control<QRadioButton>(sheet, c.click)->click();
                               EXPECT_TRUE(control<QRadioButton>(sheet, c.staysChecked)->isChecked())
                                   << c.name;
                               EXPECT_EQ(control<QLineEdit>(sheet, "workingFolderPath")->isEnabled(),
                                         c.flag == QLatin1String("1"))
                                   << c.name;
                           }),
                  0)
            << c.name;
        EXPECT_EQ(messages.texts(),
                  QStringList{MsgA(326) + QDir::toNativeSeparators(root) + QLatin1Char('\n')})
            << c.name;
        EXPECT_EQ(messages.shown().first().style, MessageStyle::warning());
        EXPECT_FALSE(outcome.workingFolderChanged) << c.name;
        EXPECT_EQ(store.common2().AngoTempFolder, c.current) << c.name;
        QDir(c.current).removeRecursively();
    }
}

TEST_F(SettingsSheetTest, ChosenWorkingFolderIsCheckedAndSavedAtOnce)
{
    const QString stick = path(QStringLiteral("stick"));
    const QString fat = path(QStringLiteral("fat"));
    platform.addVolume(stick, QStringLiteral("vfat"), DriveRemovable);
    platform.addVolume(fat, QStringLiteral("vfat"), DriveFixed);
    const QString chosen = fat + QStringLiteral("/KbxWork");
    ASSERT_TRUE(QDir().mkpath(chosen));
    ASSERT_TRUE(QDir().mkpath(stick + QStringLiteral("/work")));
    // A removable disk is refused; the FAT volume is asked about: No, then Yes.
    prompts.scriptFolders({stick + QStringLiteral("/work"), chosen, chosen});
    messages.script({MsgButton::Ok, MsgButton::No, MsgButton::Yes});
    QStringList pathShown;
    ASSERT_EQ(runSheet(SettingsDialog::WorkingFolderPage,
                       [&](SettingsDialog* sheet) {
                           auto* box = control<QLineEdit>(sheet, "workingFolderPath");
                           EXPECT_EQ(box->text(), QDir::toNativeSeparators(SuggestedWorkingFolder()));
                           EXPECT_FALSE(control<QPushButton>(sheet, "browse")->isEnabled());
                           EXPECT_EQ(control<QLineEdit>(sheet, "defaultWorkingFolder")->text(),
                                     QDir::toNativeSeparators(DefaultWorkingFolder()));
                           control<QRadioButton>(sheet, "specifiedLocation")->click();
                           for (int i = 0; i < 3; ++i) {
                               control<QPushButton>(sheet, "browse")->click();
                               pathShown.append(box->text());
                           }
                       }),
              0)
        << shownMessages();
    const QString suggested = QDir::toNativeSeparators(SuggestedWorkingFolder());
    EXPECT_EQ(pathShown, (QStringList{suggested, suggested, QDir::toNativeSeparators(chosen)}));
    ASSERT_EQ(messages.texts().size(), 3);
    EXPECT_TRUE(messages.texts().at(0).startsWith(MsgA(329)));
    EXPECT_TRUE(messages.texts().at(1).startsWith(MsgA(330)));
    EXPECT_TRUE(outcome.workingFolderChanged);
    const WorkingFolderChoice saved = savedWorkingFolder();
    EXPECT_EQ(saved.AngoTempFolderFlg, QStringLiteral("1"));
    EXPECT_EQ(saved.AngoTempFolder, chosen);
    EXPECT_EQ(store.workingFolder(), chosen);

    // Back to the default location: flag "0" and the default path, saved as well.
    messages.clear();
    ASSERT_EQ(
        runSheet(SettingsDialog::WorkingFolderPage,
                 [](SettingsDialog* sheet) { control<QRadioButton>(sheet, "defaultLocation")->click(); }),
        0);
    EXPECT_EQ(savedWorkingFolder().AngoTempFolderFlg, QStringLiteral("0"));
    EXPECT_EQ(store.common2().AngoTempFolder, DefaultWorkingFolder());
}
