#include "operations/OperationsFixture.h"
#include "operations/open/OpenFiles.h"
#include "operations/open/ProgramMonitor.h"
#include "operations/open/ReflectCopies.h"
#include "store/working/DecryptedCopies.h"
#include "store/working/WorkingCopyPaths.h"
#include "util/FileChanges.h"
#include "util/MessageText.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Opening through the desktop: a desktop entry of the fake editor is the default program for
// text files in the test's own XDG folders, and the monitor watches it.
class OpenAndReflectTest : public OperationsTest
{
protected:
    // The desktop reads its programs once per process: one set of XDG folders for all tests.
    static void SetUpTestSuite()
    {
        static QTemporaryDir desktop;
        const QString data = desktop.filePath(QStringLiteral("data"));
        const QString config = desktop.filePath(QStringLiteral("config"));
        WriteTestFile(data + QStringLiteral("/applications/kbx-fake-editor.desktop"),
                      QByteArray("[Desktop Entry]\nType=Application\nName=Fake Editor\nExec=") +
                          KBX_FAKE_EDITOR + " %f\nMimeType=text/plain;\n");
        WriteTestFile(config + QStringLiteral("/mimeapps.list"),
                      "[Default Applications]\ntext/plain=kbx-fake-editor.desktop\n");
        qputenv("XDG_DATA_HOME", QFile::encodeName(data));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    }

    void SetUp() override
    {
        qputenv("FAKE_EDITOR_STOP", QFile::encodeName(stopFile()));
        qputenv("FAKE_EDITOR_LOG", QFile::encodeName(path(QStringLiteral("editor.log"))));
        OperationsTest::SetUp();
        open.programStarted = [this](const QString& copy, qint64 pid, const QString& program) {
            monitor.RegisterLaunchedProgram(copy, pid, program);
        };
        monitor.programEnded = [this](const QString& copy) { return reflect.OnWatchedProgramEnded(copy); };
        container = encrypt(root, QStringLiteral("memo.txt"));
        SetAttributeBits(container, FileAttribute::ReadOnly, false);
        copy = store.copyPaths().WorkingCopyPathOf(container);
    }

    void TearDown() override
    {
        WriteTestFile(stopFile(), "stop");
        QThread::msleep(100);
    }

    QString stopFile() const { return path(QStringLiteral("stop")); }

    static bool waitFor(const std::function<bool()>& condition, int milliseconds = 8000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!condition() && timer.elapsed() < milliseconds) {
            QCoreApplication::processEvents();
            QThread::msleep(20);
        }
        return condition();
    }

    bool editorStarted() const
    {
        return ReadTestFile(path(QStringLiteral("editor.log"))).contains("started");
    }

    QByteArray plainOf(const QString& file)
    {
        const QString target = path(QStringLiteral("check/memo.txt"));
        QFile::remove(target);
        QDir().mkpath(path(QStringLiteral("check")));
        EXPECT_EQ(crypt.DecryptToFile(file, target, root), 0);
        return ReadTestFile(target);
    }

    static bool isReadOnly(const QString& file)
    {
        quint32 bits = 0;
        return FileAttributeBits(file, &bits) == 0 && (bits & FileAttribute::ReadOnly);
    }

    void openWith(const char* mode)
    {
        qputenv("FAKE_EDITOR_MODE", mode);
        OpenFiles::Request request;
        request.path = container;
        ASSERT_EQ(open.OpenEncryptedFile(request), 0) << shownMessages();
        ASSERT_TRUE(QFileInfo(copy).isFile());
        ASSERT_TRUE(waitFor([this] { return editorStarted(); }));
    }

    OpenFiles open{store};
    ProgramMonitor monitor;
    ReflectCopies reflect{store};
    QString container;
    QString copy;
};

// What a descriptor opened on a copy before it went still reads there.
QByteArray readThrough(int fd)
{
    QByteArray all;
    char buffer[4096];
    ::lseek(fd, 0, SEEK_SET);
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
        all.append(buffer, n);
    }
    ::close(fd);
    return all;
}

bool onlyZeros(const QByteArray& bytes)
{
    return bytes.count('\0') == bytes.size();
}

} // namespace

TEST_F(OpenAndReflectTest, UnchangedCopyIsErasedWhenTheProgramEnds)
{
    const QDateTime before = QFileInfo(container).lastModified();
    openWith("unchanged");
    EXPECT_EQ(QFileInfo(copy).lastModified().toSecsSinceEpoch(), before.toSecsSinceEpoch())
        << "the copy starts with the container's time";
    EXPECT_EQ(QFileInfo(copy).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions())
        << "the copy is private";
    EXPECT_EQ(monitor.watchedCount(), 1);
    const int held = ::open(QFile::encodeName(copy).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);

    WriteTestFile(stopFile(), "stop");
    ASSERT_TRUE(waitFor([this] { return !QFileInfo::exists(copy); })) << shownMessages();
    EXPECT_TRUE(onlyZeros(readThrough(held))) << "the copy was wiped, not only unlinked";
    EXPECT_EQ(monitor.watchedCount(), 0);
    EXPECT_EQ(QFileInfo(container).lastModified(), before);
    EXPECT_TRUE(isReadOnly(container));
    EXPECT_TRUE(messages.shown().isEmpty()) << shownMessages();
}

TEST_F(OpenAndReflectTest, SavedChangesAreWrittenBackWhenTheUserSaysYesAndDroppedOtherwise)
{
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes ? "yes" : "no");
        messages.clear();
        QFile::remove(stopFile());
        QFile::remove(path(QStringLiteral("editor.log")));
        const QByteArray before = plainOf(container);
        openWith("append");
        ASSERT_TRUE(waitFor([this] { return ReflectCopies::IsChanged(copy, container); }));
        const int held = ::open(QFile::encodeName(copy).constData(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(held, 0);
        messages.script({yes ? MsgButton::Yes : MsgButton::No});
        WriteTestFile(stopFile(), "stop");
        ASSERT_TRUE(waitFor([this] { return !QFileInfo::exists(copy); })) << shownMessages();
        EXPECT_TRUE(onlyZeros(readThrough(held))) << "written back or dropped, the copy was wiped";
        ASSERT_FALSE(messages.texts().isEmpty());
        EXPECT_TRUE(messages.texts().first().startsWith(MsgA(15)));
        EXPECT_EQ(plainOf(container), yes ? before + "edited\n" : before);
        EXPECT_EQ(messages.texts().size(), yes ? 2 : 1);
        if (yes) {
            EXPECT_EQ(messages.texts().last(), MsgA(18) + copy);
        }
        EXPECT_TRUE(isReadOnly(container));
    }
}

TEST_F(OpenAndReflectTest, ProgramThatHandsTheFileToARunningInstanceIsFoundByItsName)
{
    messages.script({MsgButton::Yes});
    openWith("fork");
    EXPECT_EQ(monitor.watchedCount(), 1) << "the instance that took the file is watched";
    QThread::msleep(400);
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(50);
    }
    EXPECT_TRUE(QFileInfo::exists(copy)) << "not handed over while the instance runs";
    ASSERT_TRUE(waitFor([this] { return ReflectCopies::IsChanged(copy, container); }));
    WriteTestFile(stopFile(), "stop");
    ASSERT_TRUE(waitFor([this] { return !QFileInfo::exists(copy); })) << shownMessages();
    EXPECT_TRUE(plainOf(container).endsWith("edited\n"));
}

TEST_F(OpenAndReflectTest, CopyHeldOpenIsNotWrittenBack)
{
    store.settings().ExecProcEndWaitFlg = 0; // nothing watched: the user reflects by hand
    openWith("hold");
    EXPECT_EQ(monitor.watchedCount(), 0);
    ASSERT_TRUE(waitFor([this] { return Platform::instance().IsOpenByOtherProcess(copy); }));
    EXPECT_EQ(reflect.ReflectSelected({copy}), -1);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(102) + QStringLiteral("’ memo.txt")});
    EXPECT_TRUE(QFileInfo::exists(copy));
}

// Most editors read the file and close it: while the program watched for a copy still runs, it
// may save again, so the copy is in use though no descriptor holds it.
TEST_F(OpenAndReflectTest, CopyWhoseProgramStillRunsIsNeitherWrittenBackNorErased)
{
    const QByteArray before = plainOf(container);
    openWith("append");
    ASSERT_TRUE(waitFor([this] { return ReflectCopies::IsChanged(copy, container); }));
    ASSERT_FALSE(Platform::instance().IsOpenByOtherProcess(copy));
    const QString named = QStringLiteral("’ memo.txt（kbx_fake_editor）");

    EXPECT_EQ(reflect.ReflectSelected({copy}), -1);
    messages.script({MsgButton::Yes});
    EXPECT_EQ(reflect.EraseSelected({copy}), -1);
    EXPECT_EQ(reflect.ReflectAll(root, true), -1);
    EXPECT_EQ(messages.texts(),
              (QStringList{MsgA(102) + named, MsgA(139), MsgA(102) + named, MsgA(12) + named}));
    EXPECT_TRUE(QFileInfo::exists(copy));
    EXPECT_EQ(plainOf(container), before);

    // Once the program has ended, its edit goes back as before.
    messages.clear();
    messages.script({MsgButton::Yes});
    WriteTestFile(stopFile(), "stop");
    ASSERT_TRUE(waitFor([this] { return !QFileInfo::exists(copy); })) << shownMessages();
    EXPECT_EQ(plainOf(container), before + "edited\n");
}

TEST_F(OpenAndReflectTest, SecondOpenAsksBeforeUsingTheCopyAndTheTwoHundredAndFirstIsNotWatched)
{
    openWith("unchanged");
    // Opening again asks and, on "no", changes nothing.
    messages.script({MsgButton::No});
    OpenFiles::Request again;
    again.path = container;
    EXPECT_EQ(open.OpenEncryptedFile(again), -1);
    EXPECT_EQ(messages.texts(), QStringList{MsgA(6) + QStringLiteral("memo.txt")});

    QProcess sleeper;
    sleeper.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    ASSERT_TRUE(sleeper.waitForStarted());
    // Started elsewhere: each registration finds the running program by its name.
    for (int i = monitor.watchedCount(); i < ProgramMonitor::SlotCount; ++i) {
        monitor.RegisterLaunchedProgram(copy, 0, QStringLiteral("/bin/sleep"));
    }
    EXPECT_EQ(monitor.watchedCount(), ProgramMonitor::SlotCount);
    messages.clear();
    monitor.RegisterLaunchedProgram(copy, 0, QStringLiteral("/bin/sleep"));
    EXPECT_EQ(messages.texts(), QStringList{MsgA(8)});
    monitor.stop();
    sleeper.kill();
    sleeper.waitForFinished();
}

// The whole program killed while it writes a changed copy back: the container is the old or
// the new one, whole, and the copy is still there for the next start to report.
TEST_F(OpenAndReflectTest, KillDuringAWriteBackLeavesOneWholeContainerAndTheCopy)
{
    const QByteArray before = plainOf(container);
    QByteArray edited(48 << 20, 'x');
    for (qsizetype i = 0; i < edited.size(); i += 4093) {
        edited[i] = char('a' + i % 26);
    }
    for (const int delayMs : {40, 150, 400}) {
        SCOPED_TRACE(delayMs);
        WriteTestFile(copy, edited);
        SetModifiedTime(copy, QDateTime::currentDateTime().addSecs(5));
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ReflectCopies writer(store);
            ::_exit(writer.ReflectFile(copy, container, root, ReflectCopies::Existing, false, false) == 0
                        ? 0
                        : 1);
        }
        QThread::msleep(delayMs);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const QByteArray now = plainOf(container);
        EXPECT_TRUE(now == before || now == edited) << "a container that decrypts to neither";
        if (now == before) {
            EXPECT_TRUE(QFileInfo::exists(copy)) << "the copy is kept until it is written back";
            QString list;
            EXPECT_NE(store.copies().ListFoldersWithDecryptedFiles(&list), 0);
            EXPECT_TRUE(list.contains(root));
        }
        QFile::remove(copy);
        ContainerCrypt::RemovePartialFiles(root);
    }
}

// Open, edit and write back, again and again, in a process killed at random moments: after each
// kill the last edit is in the container or in a copy the window lists (and a later write-back
// takes it), the container is always whole, and no plain byte lies outside the working folder.
TEST_F(OpenAndReflectTest, KilledAtAnyMomentOfOpenEditAndWriteBackNothingIsLost)
{
    const QByteArray marker = "kill-loop-plain-line";
    QByteArray body;
    for (int i = 0; body.size() < (2 << 20); ++i) {
        body += marker + ' ' + QByteArray::number(i) + '\n';
    }
    WriteTestFile(copy, body);
    SetModifiedTime(copy, QDateTime::currentDateTime().addSecs(5));
    ASSERT_EQ(reflect.ReflectFile(copy, container, root, ReflectCopies::Existing, false, false), 0)
        << shownMessages();

    auto editsIn = [](const QByteArray& plain) { return int(plain.count("\nedit ")); };
    auto plainOutsideTheWorkingFolder = [&]() {
        QStringList found;
        QDirIterator it(path(QString()), QDir::Files | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            if (!file.startsWith(QFileInfo(copy).path()) && !file.startsWith(path(QStringLiteral("check"))) &&
                ReadTestFile(file).contains(marker)) {
                found.append(file);
            }
        }
        return found;
    };

    QRandomGenerator random(20261211);
    int lastEdits = 0;
    int edited = 0;
    for (int kill = 0; kill < 24; ++kill) {
        SCOPED_TRACE(kill);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // A copy left by the previous kill is written back first, as the user does from the
            // decrypted-files pane; then the cycle runs until the kill.
            ReflectCopies writer(store);
            if (QFileInfo::exists(copy) &&
                writer.ReflectFile(copy, container, root, ReflectCopies::Existing, false, false) != 0) {
                ::_exit(1);
            }
            for (int cycle = 0;; ++cycle) {
                if (crypt.DecryptToFile(container, copy, root) != 0) {
                    ::_exit(2);
                }
                QFile file(copy);
                if (!file.open(QIODevice::Append)) {
                    ::_exit(3);
                }
                file.write("\nedit " + QByteArray::number(kill * 1000 + cycle));
                file.close();
                SetModifiedTime(copy, QDateTime::currentDateTime().addSecs(5 + cycle));
                if (writer.ReflectFile(copy, container, root, ReflectCopies::Existing, false, false) != 0) {
                    ::_exit(4);
                }
            }
        }
        QThread::msleep(random.bounded(20, 400));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the cycle failed on its own: " << WEXITSTATUS(status);

        const QByteArray inContainer = plainOf(container);
        ASSERT_TRUE(inContainer.startsWith(body)) << "the container is whole";
        int edits = editsIn(inContainer);
        if (QFileInfo::exists(copy)) {
            QString list;
            EXPECT_NE(store.copies().ListFoldersWithDecryptedFiles(&list), 0);
            EXPECT_TRUE(list.contains(root)) << "a copy left behind is listed";
            const QByteArray inCopy = ReadTestFile(copy);
            if (inCopy.startsWith(inContainer)) {
                edits = std::max(edits, editsIn(inCopy));
            }
        }
        EXPECT_GE(edits, lastEdits) << "an edit was lost";
        lastEdits = edits;
        edited += edits > 0 ? 1 : 0;
        EXPECT_EQ(plainOutsideTheWorkingFolder(), QStringList());
        ContainerCrypt::RemovePartialFiles(root);
    }
    EXPECT_GT(lastEdits, 0) << "the cycles got as far as writing back";
}
