#pragma once

#include "engine/ContainerCrypt.h"
#include "engine/ContainerFormat.h"
#include "engine/ContainerNaming.h"
#include "store/StoreTestFixture.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/FolderMetadata.h"
#include "store/metadata/MetadataFile.h"
#include "support/TestContainers.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/MainWindowServices.h"
#include "util/MessageText.h"
#include "util/NamingRules.h"
#include "util/PathText.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QtEndian>

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

// A registered folder "vault/secret" that is logged in, its store folder "work/S00001" in the
// working folder, and the folder metadata over them.
class MetadataTest : public StoreTest
{
protected:
    static constexpr const char* StoreName = "S00001";

    void SetUp() override
    {
        StoreTest::SetUp();
        MainWindowServices::instance().reset();
        MetadataFlags::instance() = MetadataFlags{};
        ASSERT_EQ(table.LoadRegisteredFolders(), 0);
        ASSERT_TRUE(QDir().mkpath(root));
        ASSERT_EQ(table.AddRegisteredFolder(root, QString(), QStringLiteral("Pass-word1"),
                                            QStringLiteral("0"), QLatin1String(StoreName),
                                            QStringLiteral("0"), DriveFixed),
                  0);
        ASSERT_EQ(
            engine.SetKeySlot(CryptEngine::PasswordToBytes(QStringLiteral("Pass-word1")), root, QString()),
            0);
        messages.clear();
    }

    QString workingFolder() const { return path(QStringLiteral("work")); }
    QString metadataArea() const
    {
        return workingFolder() + QLatin1Char('/') + QLatin1String(StoreName) + "/Nf";
    }
    // Where the metadata file of root + relative lies, worked out from the layout by hand.
    QString metadataFile(const QString& relative = QString()) const
    {
        return metadataArea() + relative + QStringLiteral("/_snf.kbxn");
    }

    // Creates the file with its folders.
    static void put(const QString& file, const QByteArray& bytes = "plain text")
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
        writeFile(file, bytes);
    }

    // Encrypts a file of that original name into the folder under a fresh container name, with
    // the key of `slot` (the folder's own by default). Returns the container's path.
    QString encrypt(const QString& folder, const QString& plainName, const QString& slot = QString(),
                    const QByteArray& bytes = "secret contents")
    {
        const QString container = EncryptTestFile(crypt, path(QStringLiteral("plain")), folder, plainName,
                                                  slot.isEmpty() ? root : slot, bytes);
        EXPECT_TRUE(QFile::exists(container)) << shownMessages();
        return container;
    }

    // Gives the file a last-write time `seconds` later than it has.
    static void touch(const QString& file, int seconds = 3600)
    {
        const QDateTime was = QFileInfo(file).lastModified();
        ASSERT_EQ(SetModifiedTime(file, was.addSecs(seconds)), 0);
    }

    // The deciphered text of a metadata file, up to its zero padding.
    QString plainText(const QString& file)
    {
        QByteArray bytes = readFile(file);
        EXPECT_EQ(engine.DecipherBuffer(bytes.data(), bytes.size(), root), 0);
        QString text(bytes.size() / 2, Qt::Uninitialized);
        qFromLittleEndian<char16_t>(bytes.constData(), text.size(), text.data());
        return text.left(text.indexOf(QChar(0)));
    }
    // The record lines of a metadata file, parsed.
    QList<EntryRecord> records(const QString& file)
    {
        QList<EntryRecord> parsed;
        const QString text = plainText(file);
        EXPECT_TRUE(text.startsWith(MsgB(2) + QStringLiteral("\r\n"))) << text.toStdString();
        for (const QString& line : SplitRecordLines(text, MsgB(2).size() + 2)) {
            EntryRecord record;
            EXPECT_EQ(ParseEntryRecord(line, &record), 0) << line.toStdString();
            parsed.append(record);
        }
        return parsed;
    }
    static QStringList storedNames(const QList<EntryRecord>& records)
    {
        QStringList names;
        for (const EntryRecord& record : records) {
            names.append(record.StoredName);
        }
        return names;
    }

    // What changes when a file is written anew: it is replaced through a new file.
    static QString identity(const QString& file)
    {
        struct stat st;
        if (::stat(QFile::encodeName(file).constData(), &st) != 0) {
            return QStringLiteral("missing");
        }
        return QStringLiteral("%1/%2.%3").arg(st.st_ino).arg(st.st_ctim.tv_sec).arg(st.st_ctim.tv_nsec);
    }
    static bool isReadOnly(const QString& file)
    {
        struct stat st;
        return ::stat(QFile::encodeName(file).constData(), &st) == 0 && (st.st_mode & 0222) == 0;
    }

    std::string shownMessages() const
    {
        return messages.texts().join(QStringLiteral("\n--\n")).toStdString();
    }

    const QString root = path(QStringLiteral("vault/secret"));
    RegisteredFolderTable table{engine, dataFolder(), [this] { return workingFolder(); }};
    ContainerCrypt crypt{engine};
    FolderMetadata metadata{table, [this] { return workingFolder(); }, crypt};
};

// Runs file access as an ordinary user for its lifetime, so that permissions bind as they do for
// the people who use the program: as root, the whole tree is first handed to "nobody". Without
// root nothing needs doing.
class WithoutRootPowers
{
public:
    static constexpr uid_t Nobody = 65534;

    explicit WithoutRootPowers(const QString& tree)
    {
        if (::geteuid() != 0) {
            return;
        }
        chownTree(tree);
        ::setfsgid(Nobody);
        ::setfsuid(Nobody);
        m_active = true;
    }
    ~WithoutRootPowers()
    {
        if (m_active) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
    }
    WithoutRootPowers(const WithoutRootPowers&) = delete;
    WithoutRootPowers& operator=(const WithoutRootPowers&) = delete;

private:
    static void chownTree(const QString& tree)
    {
        ::lchown(QFile::encodeName(tree).constData(), Nobody, Nobody);
        QDirIterator it(tree, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            ::lchown(QFile::encodeName(it.next()).constData(), Nobody, Nobody);
        }
    }

    bool m_active = false;
};
