#include "store/checks/FolderAccessCheck.h"

#include "store/StoreTestFixture.h"
#include "util/ErrorText.h"
#include "util/MessageText.h"

#include <QDir>
#include <QFile>

#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct CheckResult
{
    int rc = 0;
    QString text;
    QString shown; // the boxes shown, one after the other
    bool warning = true;
};

// Runs the check as a user who may not read root's private files: in a child process that has
// given up root, or directly when the tests do not run as root.
CheckResult checkAsUnprivileged(const QString& path, int show = 0,
                                RecordingMessageService* messages = nullptr)
{
    const auto shownTexts = [messages](bool* warning) {
        QString texts;
        for (const RecordingMessageService::Shown& box :
             messages ? messages->shown() : QList<RecordingMessageService::Shown>()) {
            texts += box.text;
            *warning = *warning && box.style == MessageStyle::warning();
        }
        return texts;
    };
    if (::geteuid() != 0) {
        CheckResult result;
        result.rc = CheckFolderAccess(path, show, &result.text);
        result.shown = shownTexts(&result.warning);
        return result;
    }
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return {99, QStringLiteral("no pipe")};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        const passwd* nobody = ::getpwnam("nobody");
        int rc = 98;
        QString text;
        if (nobody && ::setegid(nobody->pw_gid) == 0 && ::seteuid(nobody->pw_uid) == 0) {
            rc = CheckFolderAccess(path, show, &text);
        }
        bool warning = true;
        const QString shown = shownTexts(&warning);
        const QByteArray out = QByteArray::number(rc) + '\n' + QByteArray::number(warning ? 1 : 0) + '\n' +
                               text.toUtf8().toBase64() + '\n' + shown.toUtf8().toBase64();
        [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], out.constData(), size_t(out.size()));
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    QByteArray in;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        in.append(buffer, n);
    }
    ::close(pipeFds[0]);
    ::waitpid(child, nullptr, 0);
    const QList<QByteArray> parts = in.split('\n');
    if (parts.size() != 4) {
        return {97, QString::fromUtf8(in)};
    }
    return {parts[0].toInt(), QString::fromUtf8(QByteArray::fromBase64(parts[2])),
            QString::fromUtf8(QByteArray::fromBase64(parts[3])), parts[1] == "1"};
}

void makeTraversable(const QString& folder)
{
    ::chmod(QFile::encodeName(folder).constData(), 0755);
}

} // namespace

class FolderAccessCheckTest : public StoreTest
{
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        tree = path(QStringLiteral("tree"));
        ASSERT_TRUE(QDir().mkpath(tree + QStringLiteral("/a/b")));
        for (QString folder = tree + QStringLiteral("/a/b"); folder.size() > 1;
             folder = QFileInfo(folder).path()) {
            makeTraversable(folder);
        }
        writeFile(tree + QStringLiteral("/top.txt"), "readable");
        writeFile(tree + QStringLiteral("/a/b/deep.txt"), "private");
        ::chmod(QFile::encodeName(tree + QStringLiteral("/top.txt")).constData(), 0644);
        ::chmod(QFile::encodeName(tree + QStringLiteral("/a/b/deep.txt")).constData(), 0600);
        if (::geteuid() != 0) {
            ::chmod(QFile::encodeName(tree + QStringLiteral("/a/b/deep.txt")).constData(), 0);
        }
    }
    QString deniedText(const QString& file) const
    {
        return MsgA(621) + FileExceptionText(FileErrorCause::AccessDenied) + QStringLiteral("\n\n") + file;
    }

    QString tree;
};

TEST_F(FolderAccessCheckTest, AnUnreadableFileDeepInTheTreeIsNamedWithTheDeniedCause)
{
    const QString deep = tree + QStringLiteral("/a/b/deep.txt");
    const CheckResult ofTree = checkAsUnprivileged(tree);
    EXPECT_EQ(ofTree.rc, -1);
    EXPECT_EQ(ofTree.text, deniedText(deep));

    const CheckResult ofFile = checkAsUnprivileged(deep);
    EXPECT_EQ(ofFile.rc, -1);
    EXPECT_EQ(ofFile.text, deniedText(deep));

    const CheckResult ofReadable = checkAsUnprivileged(tree + QStringLiteral("/top.txt"));
    EXPECT_EQ(ofReadable.rc, 0);
    EXPECT_TRUE(ofReadable.text.isEmpty());
    EXPECT_TRUE(messages.shown().isEmpty()) << "nothing is shown when the text is handed back";
}

TEST_F(FolderAccessCheckTest, OnAVolumeWithoutPermissionsNothingIsOpened)
{
    platform.addVolume(tree, QStringLiteral("vfat"), DriveRemovable);
    const CheckResult result = checkAsUnprivileged(tree);
    EXPECT_EQ(result.rc, 0);
    EXPECT_TRUE(result.text.isEmpty());
}

TEST_F(FolderAccessCheckTest, ShowOneShowsTheTextAsAWarningInstead)
{
    const CheckResult result = checkAsUnprivileged(tree, 1, &messages);
    EXPECT_EQ(result.rc, -1);
    EXPECT_TRUE(result.text.isEmpty());
    EXPECT_EQ(result.shown, deniedText(tree + QStringLiteral("/a/b/deep.txt")));
    EXPECT_TRUE(result.warning);
}

TEST_F(FolderAccessCheckTest, PipesAndLinksThatLeadNowhereAreNoFilesToCheck)
{
    ::chmod(QFile::encodeName(tree + QStringLiteral("/a/b/deep.txt")).constData(), 0644);
    ASSERT_EQ(::mkfifo(QFile::encodeName(tree + QStringLiteral("/a/pipe")).constData(), 0644), 0);
    ASSERT_EQ(::symlink("/nonexistent-kbx/target",
                        QFile::encodeName(tree + QStringLiteral("/a/broken")).constData()),
              0);
    ASSERT_EQ(::symlink("..", QFile::encodeName(tree + QStringLiteral("/a/b/up")).constData()), 0);
    QString text;
    EXPECT_EQ(CheckFolderAccess(tree, 0, &text), 0) << text.toStdString();
}

TEST_F(FolderAccessCheckTest, MissingPathsAndEmptyFoldersPass)
{
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("empty"))));
    for (const QString& p :
         {path(QStringLiteral("empty")), path(QStringLiteral("nothing/here")), QString()}) {
        QString text = QStringLiteral("stale");
        EXPECT_EQ(CheckFolderAccess(p, 0, &text), 0) << p.toStdString();
        EXPECT_TRUE(text.isEmpty());
    }
}
