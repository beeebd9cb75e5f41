#include "store/working/WorkingFolderLocation.h"

#include "store/working/WorkingFolderFixture.h"
#include "util/MessageText.h"
#include "util/PromptService.h"

namespace {

// Answers the folder browser from a script and remembers how it was asked.
class ScriptedPrompts : public PromptService
{
public:
    ScriptedPrompts() { PromptService::install(this); }
    ~ScriptedPrompts() override { PromptService::install(nullptr); }

    int BrowseForFolder(const QString& title, const QString& path, const QString& caption, const QString&,
                        int, QString* chosen) override
    {
        ++calls;
        askedTitle = title;
        askedPath = path;
        askedCaption = caption;
        if (answer.isEmpty()) {
            return -1;
        }
        *chosen = answer;
        return 0;
    }

    QString answer; // empty: the user cancels
    int calls = 0;
    QString askedTitle;
    QString askedPath;
    QString askedCaption;
};

class WorkingFolderLocationTest : public WorkingFolderTest
{
};

} // namespace

TEST_F(WorkingFolderLocationTest, DefaultLivesInTheDataFolderAndTheExampleInHome)
{
    platform.setSpecialFolder(SpecialFolder::Data, path(QStringLiteral("home/.local/share")));
    platform.setSpecialFolder(SpecialFolder::Home, path(QStringLiteral("home")));
    EXPECT_EQ(DefaultWorkingFolder(), path(QStringLiteral("home/.local/share/KBX-c1")));
    EXPECT_EQ(SuggestedWorkingFolder(), path(QStringLiteral("home/KbxTemp")));
}

TEST_F(WorkingFolderLocationTest, LocationRules)
{
    struct Case
    {
        const char* name;
        const char* fileSystem;
        int driveType;
        const char* folder; // below the volume's root; empty for the root itself
        QList<MsgButton> answers;
        int expected;
        int message; // 0: none
        MsgIcon icon;
    };
    const QList<Case> cases = {
        {"disk", "ext4", DriveFixed, "", {}, WorkingFolderRefused, 328, MsgIcon::Warning},
        {"stick", "vfat", DriveRemovable, "kbx", {}, WorkingFolderRefused, 329, MsgIcon::Warning},
        {"share", "nfs4", DriveRemote, "kbx", {}, WorkingFolderRefused, 329, MsgIcon::Warning},
        {"ram", "tmpfs", DriveRamDisk, "kbx", {}, WorkingFolderRefused, 329, MsgIcon::Warning},
        {"fat32", "vfat", DriveFixed, "kbx", {MsgButton::Yes}, 0, 330, MsgIcon::Question},
        {"fat32no", "vfat", DriveFixed, "kbx", {MsgButton::No}, WorkingFolderRefused, 330, MsgIcon::Question},
        {"fat16",
         "msdos",
         DriveFixed,
         "kbx/deep",
         {MsgButton::No},
         WorkingFolderRefused,
         330,
         MsgIcon::Question},
        {"ext4", "ext4", DriveFixed, "kbx", {}, 0, 0, MsgIcon::None},
        {"unknown", "ext4", DriveUnknown, "kbx", {}, 0, 0, MsgIcon::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString root = path(QStringLiteral("volumes/") + QLatin1String(c.name));
        platform.addVolume(root, QLatin1String(c.fileSystem), c.driveType);
        const QString folder = *c.folder ? root + QLatin1Char('/') + QLatin1String(c.folder) : root;
        messages.clear();
        messages.script(c.answers);

        EXPECT_EQ(CheckWorkingFolderLocation(folder), c.expected);
        if (c.message == 0) {
            EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();
            continue;
        }
        ASSERT_EQ(messages.shown().size(), 1);
        EXPECT_EQ(messages.shown()[0].text, MsgA(c.message) + folder);
        EXPECT_EQ(messages.shown()[0].style.icon, c.icon);
        if (c.icon == MsgIcon::Question) {
            EXPECT_EQ(messages.shown()[0].style.buttons, MsgButtons::YesNo);
        }
    }

    // The real root of the machine is a mount point as well.
    messages.clear();
    EXPECT_EQ(CheckWorkingFolderLocation(QStringLiteral("/")), WorkingFolderRefused);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(328) + QStringLiteral("/")});
}

TEST_F(WorkingFolderLocationTest, InUseWhileAStoreFolderOfARegisteredFolderIsThere)
{
    const QString kept = registerFolder(QStringLiteral("kept"), QStringLiteral("A1B2C3"));
    const QString alsoKept = registerFolder(QStringLiteral("also"), QStringLiteral("D4E5F6"));
    registerFolder(QStringLiteral("elsewhere"), QStringLiteral("778899"));
    QString list = QStringLiteral("stale");

    EXPECT_EQ(WorkingFolderInUse(table, workingFolder(), &list), 0); // not there yet
    EXPECT_TRUE(list.isEmpty());

    // Store folders of two registered folders, and folders and files nobody registered.
    ASSERT_TRUE(QDir().mkpath(storeFolder(QStringLiteral("A1B2C3/Ac"))));
    ASSERT_TRUE(QDir().mkpath(storeFolder(QStringLiteral("D4E5F6"))));
    ASSERT_TRUE(QDir().mkpath(storeFolder(QStringLiteral("FFFFFF"))));
    put(storeFolder(QStringLiteral("778899"))); // a file of that name is no store folder
    EXPECT_EQ(WorkingFolderInUse(table, workingFolder(), &list), -1);
    EXPECT_EQ(list, kept + QLatin1Char('\n') + alsoKept + QLatin1Char('\n'));

    ASSERT_EQ(table.UnregisterFolder(kept), 0);
    ASSERT_EQ(table.UnregisterFolder(alsoKept), 0);
    ASSERT_EQ(table.LoadRegisteredFolders(), 0);
    EXPECT_EQ(WorkingFolderInUse(table, workingFolder(), &list), 0);
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();
}

TEST_F(WorkingFolderLocationTest, ChoosingANewWorkingFolder)
{
    ScriptedPrompts prompts;
    const QString root = registerFolder(QStringLiteral("kept"), QStringLiteral("A1B2C3"));
    ASSERT_TRUE(QDir().mkpath(storeFolder(QStringLiteral("A1B2C3"))));
    QString chosen = QStringLiteral("unchanged");

    // While a store folder is in the old place, the browser does not even open.
    prompts.answer = path(QStringLiteral("elsewhere"));
    EXPECT_EQ(ChooseWorkingFolder(table, workingFolder(), &chosen), -1);
    EXPECT_EQ(prompts.calls, 0);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(326) + root + QLatin1Char('\n')});
    EXPECT_EQ(messages.shown()[0].style.icon, MsgIcon::Warning);
    EXPECT_EQ(chosen, QStringLiteral("unchanged"));

    // From an unused place: the browser starts there, with its title and instruction.
    const QString unused = path(QStringLiteral("unused"));
    messages.clear();
    ASSERT_EQ(ChooseWorkingFolder(table, unused, &chosen), 0);
    EXPECT_EQ(chosen, path(QStringLiteral("elsewhere")));
    EXPECT_EQ(prompts.askedPath, unused);
    EXPECT_EQ(prompts.askedCaption, QStringLiteral("作業用フォルダー指定"));
    EXPECT_EQ(prompts.askedTitle, MsgA(327));
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages().toStdString();

    // A refused place is passed on, and cancelling chooses nothing.
    platform.addVolume(path(QStringLiteral("stick")), QStringLiteral("vfat"), DriveRemovable);
    prompts.answer = path(QStringLiteral("stick/kbx"));
    chosen = QStringLiteral("unchanged");
    EXPECT_EQ(ChooseWorkingFolder(table, unused, &chosen), WorkingFolderRefused);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(329) + prompts.answer});
    prompts.answer.clear();
    EXPECT_EQ(ChooseWorkingFolder(table, unused, &chosen), -1);
    EXPECT_EQ(chosen, QStringLiteral("unchanged"));
    EXPECT_EQ(prompts.calls, 3);
}
