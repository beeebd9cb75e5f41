#include "operations/OperationsFixture.h"
#include "operations/backup/FolderBackup.h"
#include "operations/encrypt/EncryptFilesIn.h"
#include "operations/inside/InsideTransfer.h"
#include "operations/inside/UndoHistory.h"
#include "operations/open/OpenFiles.h"
#include "operations/takeout/TakeOut.h"
#include "util/ErrorText.h"
#include "util/ResultCodes.h"

#include <QMap>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Two bytes that are no UTF-8: shown as two replacement marks.
const QByteArray NotText = QByteArrayLiteral("\xff\xfe.kbxf");

// Every file below the folder by its name bytes, with its contents: what a walk through text
// names could not tell apart.
void rawFiles(const QByteArray& folder, const QByteArray& relative, QMap<QByteArray, QByteArray>* files)
{
    DIR* dir = ::opendir(folder.constData());
    if (!dir) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..") {
            continue;
        }
        const QByteArray full = folder + '/' + name;
        struct stat st;
        if (::lstat(full.constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
            rawFiles(full, relative + name + '/', files);
            continue;
        }
        const int fd = ::open(full.constData(), O_RDONLY);
        QByteArray bytes(4096, '\0');
        const ssize_t read = fd < 0 ? -1 : ::read(fd, bytes.data(), size_t(bytes.size()));
        if (fd >= 0) {
            ::close(fd);
        }
        files->insert(relative + name, bytes.left(read < 0 ? 0 : read));
    }
    ::closedir(dir);
}

QMap<QByteArray, QByteArray> rawFiles(const QString& folder)
{
    QMap<QByteArray, QByteArray> files;
    rawFiles(QFile::encodeName(folder), QByteArray(), &files);
    return files;
}

void putRaw(const QString& folder, const QByteArray& name, const QByteArray& bytes)
{
    ASSERT_TRUE(QDir().mkpath(folder));
    const QByteArray full = QFile::encodeName(folder) + '/' + name;
    const int fd = ::open(full.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    ::close(fd);
}

class NameNotTextTest : public OperationsTest
{
protected:
    void SetUp() override
    {
        OperationsTest::SetUp();
        platform.addVolume(path(QString()), QStringLiteral("ext4"), DriveFixed);
        ASSERT_TRUE(QDir().mkpath(docs));
        encrypt(docs, QStringLiteral("a.txt"));
        putRaw(docs + QStringLiteral("/deep"), NotText, "odd name");
        ASSERT_TRUE(QDir().mkpath(target));
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("backups"))));
        encrypt(target, QStringLiteral("b.txt"));
        ASSERT_EQ(store.metadata().SyncFolderMetadata(root, root), 0) << shownMessages();
        messages.clear();
    }
    void TearDown() override
    {
        // The temporary folder's own removal walks by text too.
        for (const QString& folder : {docs + QStringLiteral("/deep"), path(QStringLiteral("outside/tree"))}) {
            ::unlink((QFile::encodeName(folder) + '/' + NotText).constData());
        }
        OperationsTest::TearDown();
    }

    const QString docs = root + QStringLiteral("/docs");
    const QString target = root + QStringLiteral("/target");
    UndoHistory history;
    OpenFiles open{store};
};

} // namespace

// Every whole-folder operation that meets a name that is no text refuses the folder before it
// changes anything, names the entry, and leaves the folder with that file as it was.
TEST_F(NameNotTextTest, WholeFolderOperationsRefuseAndKeepTheFile)
{
    const QString outsideTree = path(QStringLiteral("outside/tree"));
    WriteTestFile(outsideTree + QStringLiteral("/plain.txt"), "plain");
    putRaw(outsideTree, NotText, "odd outside");

    const struct
    {
        const char* name;
        QString folder; // the folder that must stay as it was
        std::function<int()> run;
    } cases[] = {
        {"move by drag", docs,
         [&] { return InsideTransfer(store, history).DragTransfer(true, {docs}, target); }},
        {"copy by drag", docs,
         [&] { return InsideTransfer(store, history).DragTransfer(false, {docs}, target); }},
        {"cut and paste", docs,
         [&] {
             return InsideTransfer(store, history).InsidePaste(InsideClipboard{{docs}, true, root}, target);
         }},
        {"backup", root,
         [&] { return FolderBackup(store).CopyFolderTo(root, path(QStringLiteral("backups"))); }},
        {"take-out", docs, [&] { return TakeOut(store, open).Run(TakeOut::Decrypted, {docs}); }},
        {"decrypting a folder", docs,
         [&] { return open.DecryptSelection({docs}, false, false, false, false); }},
        {"encrypt-in by move", outsideTree,
         [&] { return EncryptFilesIn(store).Run(EncryptFilesIn::Move, target, {outsideTree}); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QMap<QByteArray, QByteArray> before = rawFiles(c.folder);
        const QMap<QByteArray, QByteArray> targetBefore = rawFiles(target);
        ASSERT_TRUE(before.values().contains("odd name") || before.values().contains("odd outside"));
        messages.clear();

        EXPECT_NE(c.run(), Result::Ok);

        EXPECT_EQ(rawFiles(c.folder), before);
        EXPECT_EQ(rawFiles(target).keys(), targetBefore.keys()) << "nothing of it brought over";
        EXPECT_TRUE(rawFiles(path(QStringLiteral("backups"))).isEmpty());
        ASSERT_EQ(messages.texts().size(), 1) << shownMessages();
        EXPECT_TRUE(messages.texts().first().contains(QStringLiteral("\uFFFD\uFFFD.kbxf")));
        EXPECT_TRUE(messages.texts().first().endsWith(ErrnoText(EILSEQ))) << shownMessages();
    }
}
