#include "cli/KbxFixture.h"
#include "engine/ContainerCrypt.h"
#include "engine/ContainerFormat.h"
#include "engine/CryptEngine.h"
#include "platform/Platform.h"
#include "platform/SingleInstance.h"
#include "store/StoreContext.h"
#include "store/catalogue/EngineStartup.h"
#include "store/catalogue/MessageCatalogue.h"
#include "store/datafiles/DataFolder.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/EntryRecord.h"
#include "store/metadata/FolderMetadata.h"
#include "support/FileModes.h"
#include "support/RecordingMessageService.h"
#include "util/FileQueries.h"

#include <QDateTime>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QThread>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// kbx on whole encrypted folders: ls, check, extract and add, on folders that kbx and the
// window's own code made.

namespace {

QJsonObject parseJson(const QString& text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text.toStdString();
    return document.object();
}

class KbxFolderTest : public KbxTest
{
protected:
    // A tree of plain files: nested, empty, larger than a body chunk, a Japanese name.
    QString makeTree()
    {
        writeFile(QStringLiteral("tree/memo.txt"), "a memo");
        writeFile(QStringLiteral("tree/empty"), QByteArray());
        writeFile(QStringLiteral("tree/sub/data.bin"), pseudoRandomBytes(300001, 4));
        writeFile(QStringLiteral("tree/sub/日本語の名前.txt"), "にほんご");
        setModified(path(QStringLiteral("tree/memo.txt")),
                    QDateTime::fromString(QStringLiteral("2020-01-02T03:04:05Z"), Qt::ISODate));
        return path(QStringLiteral("tree"));
    }

    // Every file below the folder with its content, by path relative to it.
    static QMap<QString, QByteArray> contentsBelow(const QString& folder)
    {
        QMap<QString, QByteArray> contents;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            contents.insert(QDir(folder).relativeFilePath(file), readFile(file));
        }
        return contents;
    }

    // The vault filled from the tree: memo.txt and empty at the top, sub/ below.
    QString makeVault()
    {
        const QString tree = makeTree();
        const QString vault = makeFolder(QStringLiteral("vault"));
        const KbxResult run =
            kbx({QStringLiteral("add"), QStringLiteral("-r"), vault, tree + QStringLiteral("/memo.txt"),
                 tree + QStringLiteral("/empty"), tree + QStringLiteral("/sub")},
                line(Password));
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return vault;
    }

    // The stored file of the vault that holds the original name.
    QString containerOf(const QString& folder, const QString& name)
    {
        const KbxResult run = kbx({QStringLiteral("ls"), QStringLiteral("--json"), folder}, line(Password));
        for (const QJsonValue& value : parseJson(run.out).value(QStringLiteral("entries")).toArray()) {
            if (value[QStringLiteral("name")].toString() == name) {
                return folder + QLatin1Char('/') + value[QStringLiteral("stored")].toString();
            }
        }
        ADD_FAILURE() << "no entry " << name.toStdString();
        return QString();
    }
};

TEST_F(KbxFolderTest, AddListExtractAndAddAgainKeepEveryByte)
{
    const QString vault = makeVault();
    for (const QString& stored : QDir(vault).entryList(QDir::Files)) {
        EXPECT_TRUE(ContainerFormat::IsContainerFileName(stored)) << stored.toStdString();
    }

    KbxResult run = kbx({QStringLiteral("ls"), QStringLiteral("-lr"), vault}, line(Password));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString memoTime = QDateTime::fromString(QStringLiteral("2020-01-02T03:04:05Z"), Qt::ISODate)
                                 .toLocalTime()
                                 .toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
    EXPECT_TRUE(run.out.contains(
        QRegularExpression(QStringLiteral("encrypted +6  ") + memoTime +
                           QStringLiteral("  \\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d  memo.txt\n"))))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("300001")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("sub/日本語の名前.txt\n")));

    run = kbx({QStringLiteral("ls"), QStringLiteral("--json"), QStringLiteral("-r"), vault}, line(Password));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QMap<QString, QJsonObject> byPath;
    for (const QJsonValue& value : parseJson(run.out).value(QStringLiteral("entries")).toArray()) {
        byPath.insert(value[QStringLiteral("path")].toString(), value.toObject());
    }
    EXPECT_EQ(byPath.keys(),
              (QStringList{QStringLiteral("empty"), QStringLiteral("memo.txt"), QStringLiteral("sub/"),
                           QStringLiteral("sub/data.bin"), QStringLiteral("sub/日本語の名前.txt")}));
    EXPECT_EQ(byPath.value(QStringLiteral("memo.txt")).value(QStringLiteral("modified")).toString(),
              QStringLiteral("2020-01-02T03:04:05Z"));
    // Every time in one form: ISO 8601 in UTC, the encryption time a moment ago.
    const QString encryptedAt =
        byPath.value(QStringLiteral("memo.txt")).value(QStringLiteral("encrypted")).toString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ$"))
                    .match(encryptedAt)
                    .hasMatch())
        << encryptedAt.toStdString();
    EXPECT_LT(
        std::abs(QDateTime::fromString(encryptedAt, Qt::ISODate).secsTo(QDateTime::currentDateTimeUtc())),
        600);
    EXPECT_EQ(byPath.value(QStringLiteral("sub/data.bin")).value(QStringLiteral("size")).toInteger(), 300001);
    EXPECT_EQ(byPath.value(QStringLiteral("sub/data.bin")).value(QStringLiteral("kind")).toString(),
              QStringLiteral("encrypted"));

    const QString out = path(QStringLiteral("out"));
    run = kbx({QStringLiteral("extract"), QStringLiteral("-r"), vault, out}, line(Password));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(contentsBelow(out), contentsBelow(path(QStringLiteral("tree"))));
    EXPECT_EQ(QFileInfo(out + QStringLiteral("/memo.txt")).lastModified(),
              QFileInfo(path(QStringLiteral("tree/memo.txt"))).lastModified());

    // Extracting again replaces nothing without --force.
    writeFile(QStringLiteral("out/memo.txt"), "changed since");
    run = kbx({QStringLiteral("extract"), vault, out}, line(Password));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(readFile(out + QStringLiteral("/memo.txt")), "changed since");
    run = kbx({QStringLiteral("extract"), QStringLiteral("--force"), vault, out}, line(Password));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(readFile(out + QStringLiteral("/memo.txt")), "a memo");

    // The extracted tree into an empty folder, moved: same bytes again, the sources gone.
    const QString second = makeFolder(QStringLiteral("second"));
    run =
        kbx({QStringLiteral("add"), QStringLiteral("-r"), QStringLiteral("--move"), second,
             out + QStringLiteral("/memo.txt"), out + QStringLiteral("/empty"), out + QStringLiteral("/sub")},
            line(OtherPassword));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(entriesOf(out), QStringList());
    const QString again = path(QStringLiteral("again"));
    ASSERT_EQ(
        kbx({QStringLiteral("extract"), QStringLiteral("-r"), second, again}, line(OtherPassword)).exitCode,
        0);
    EXPECT_EQ(contentsBelow(again), contentsBelow(path(QStringLiteral("tree"))));
}

TEST_F(KbxFolderTest, AddReplacesAShownNameOnlyWithForceAndKeepsTheFoldersPassword)
{
    const QString vault = makeVault();
    const QString memo = containerOf(vault, QStringLiteral("memo.txt"));
    const QByteArray before = readFile(memo);
    const QString newer = writeFile(QStringLiteral("newer/memo.txt"), "a newer memo");

    KbxResult run = kbx({QStringLiteral("add"), vault, newer}, line(Password));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("--force"))) << run.err.toStdString();
    EXPECT_EQ(readFile(memo), before);
    // A password that does not open the folder's files is refused before anything is written.
    run = kbx({QStringLiteral("add"), QStringLiteral("--force"), vault, newer}, line(OtherPassword));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(readFile(memo), before);

    run = kbx({QStringLiteral("add"), QStringLiteral("--force"), vault, newer}, line(Password));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(QDir(vault).entryList(QDir::Files).size(), 2);
    const QString plain = path(QStringLiteral("memo.out"));
    ASSERT_EQ(kbx({QStringLiteral("decrypt"), memo, plain}, line(Password)).exitCode, 0);
    EXPECT_EQ(readFile(plain), "a newer memo");

    // Sources that cannot be added: nothing at all is written.
    const QStringList before2 = entriesOf(vault);
    for (const QStringList& sources :
         {QStringList{path(QStringLiteral("tree/sub"))}, QStringList{newer, path(QStringLiteral("missing"))},
          QStringList{memo}}) {
        SCOPED_TRACE(sources.join(QLatin1Char(' ')).toStdString());
        run = kbx(QStringList{QStringLiteral("add"), vault} + sources, line(Password));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(entriesOf(vault), before2);
    }
}

TEST_F(KbxFolderTest, CheckFindsEveryKindOfFaultAndPassesAWholeFolder)
{
    const QString vault = makeVault();
    KbxResult run = kbx({QStringLiteral("check"), QStringLiteral("-r"), vault}, line(Password));
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("4 encrypted files checked"))) << run.out.toStdString();

    struct Case
    {
        const char* name;
        std::function<void(const QString& vault)> damage;
        QString status; // what check reports
    };
    const auto rewrite = [](const QString& file, const std::function<void(QByteArray&)>& change) {
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QByteArray bytes = readFile(file);
        change(bytes);
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
    };
    const QList<Case> cases = {
        {"a flipped byte in a body",
         [&](const QString& v) {
             rewrite(containerOf(v + QStringLiteral("/sub"), QStringLiteral("data.bin")),
                     [](QByteArray& b) { b[150000] = char(b[150000] ^ 0x01); });
         },
         QStringLiteral("damaged")},
        {"a body cut short by one block",
         [&](const QString& v) {
             rewrite(containerOf(v + QStringLiteral("/sub"), QStringLiteral("data.bin")),
                     [](QByteArray& b) { b.chop(16); });
         },
         QStringLiteral("damaged")},
        {"a last block changed in a small file",
         [&](const QString& v) {
             rewrite(containerOf(v, QStringLiteral("memo.txt")),
                     [](QByteArray& b) { b[b.size() - 1] ^= 0x40; });
         },
         QStringLiteral("damaged")},
        {"a header cut short",
         [&](const QString& v) {
             rewrite(containerOf(v, QStringLiteral("memo.txt")), [](QByteArray& b) { b.truncate(300); });
         },
         QStringLiteral("unreadable")},
        {"a file of another password",
         [&](const QString& v) {
             const QString source = writeFile(QStringLiteral("other.txt"), "other");
             ASSERT_EQ(kbx({QStringLiteral("encrypt"), source, v + QStringLiteral("/other.kbxf")},
                           line(OtherPassword))
                           .exitCode,
                       0);
         },
         QStringLiteral("other-password")},
        {"a plain file",
         [&](const QString& v) {
             writeFile(QDir(m_dir.path()).relativeFilePath(v) + QStringLiteral("/sub/notes.txt"), "x");
         },
         QStringLiteral("plain")},
        {"two files of one name",
         [&](const QString& v) {
             const QString memo = containerOf(v, QStringLiteral("memo.txt"));
             QFile::copy(memo, v + QStringLiteral("/0000000000000000-0000000000000000.kbxf"));
         },
         QStringLiteral("duplicate")},
        {"a partial file of a write that did not finish",
         [&](const QString& v) {
             QFile::copy(containerOf(v, QStringLiteral("memo.txt")),
                         v + QStringLiteral("/sub/.0000000000000000-0000000000000000.kbxf.kbxpart"));
         },
         QStringLiteral("partial")},
        {"a dangling link named as an encrypted file",
         [&](const QString& v) {
             ASSERT_TRUE(QFile::link(v + QStringLiteral("/gone"),
                                     v + QStringLiteral("/1111111111111111-1111111111111111.kbxf")));
         },
         QStringLiteral("not-a-file")},
        {"a pipe named as an encrypted file",
         [&](const QString& v) {
             ASSERT_EQ(
                 ::mkfifo(QFile::encodeName(v + QStringLiteral("/sub/2222222222222222-2222222222222222.kbxf"))
                              .constData(),
                          0600),
                 0);
         },
         QStringLiteral("not-a-file")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(path(QStringLiteral("tree"))).removeRecursively();
        QDir(vault).removeRecursively();
        makeVault();
        c.damage(vault);
        run = kbx({QStringLiteral("check"), QStringLiteral("-r"), QStringLiteral("--json"),
                   QStringLiteral("--jobs"), QStringLiteral("2"), vault},
                  line(Password));
        EXPECT_EQ(run.exitCode, 1);
        const QJsonObject report = parseJson(run.out);
        const QJsonArray problems = report.value(QStringLiteral("problems")).toArray();
        ASSERT_EQ(problems.size(), 1) << run.out.toStdString();
        EXPECT_EQ(problems.at(0)[QStringLiteral("status")].toString(), c.status) << run.out.toStdString();
        EXPECT_TRUE(report.value(QStringLiteral("summary"))[QStringLiteral("complete")].toBool());
        // The plain form names the file on a line of its own.
        run = kbx({QStringLiteral("check"), QStringLiteral("-r"), vault}, line(Password));
        EXPECT_EQ(run.out.count(QLatin1Char('\n')), 2) << run.out.toStdString();
    }
    // Nothing was ever written into the folder by checking it.
    EXPECT_EQ(entriesOf(vault).filter(QStringLiteral("kbxpart")), QStringList());

    // A number of workers that is no number from 1 to 256 is a usage error, before any password.
    for (const char* jobs : {"0", "abc", "257", "-1"}) {
        SCOPED_TRACE(jobs);
        run = kbx({QStringLiteral("check"), QStringLiteral("--jobs"), QLatin1String(jobs), vault});
        EXPECT_EQ(run.exitCode, 2) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("--jobs"))) << run.err.toStdString();
    }
}

// Ctrl-C in the middle: check ends between files with what it found, extract leaves only whole
// files. No plain file appears where it was not asked for.
TEST_F(KbxFolderTest, InterruptsLeaveNoPlainFileBehind)
{
    const QString vault = makeFolder(QStringLiteral("vault"));
    for (int i = 0; i < 6; ++i) {
        writeFile(QStringLiteral("big/file%1.bin").arg(i), pseudoRandomBytes(16 << 20, quint32(i)));
    }
    QStringList add{QStringLiteral("add"), vault};
    for (int i = 0; i < 6; ++i) {
        add.append(path(QStringLiteral("big/file%1.bin").arg(i)));
    }
    ASSERT_EQ(kbx(add, line(Password)).exitCode, 0);
    const QStringList vaultBefore = entriesOf(vault);

    const auto interrupted = [&](const QStringList& arguments, const QByteArray& waitFor, int delayMs = 0) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("xdg-config")));
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        process->start(QStringLiteral(KBX_BINARY), arguments);
        EXPECT_TRUE(process->waitForStarted(10000));
        process->write(line(Password));
        process->waitForBytesWritten(10000);
        process->closeWriteChannel();
        QByteArray seen;
        while (!waitFor.isEmpty() && !seen.contains(waitFor) && process->waitForReadyRead(20000)) {
            seen += process->peek(1 << 20);
        }
        QThread::msleep(static_cast<unsigned long>(delayMs));
        ::kill(pid_t(process->processId()), SIGINT);
        EXPECT_TRUE(process->waitForFinished(60000));
        return process;
    };

    // The check shows nothing before its report: it is interrupted a moment after it has its
    // password. A signal that comes before the check has begun ends it at once, with nothing to
    // report; the moment is put off until the signal finds the check running or done.
    bool reported = false;
    for (int delayMs = 30; delayMs <= 2000 && !reported; delayMs *= 2) {
        auto check = interrupted(
            {QStringLiteral("check"), QStringLiteral("--jobs"), QStringLiteral("1"), vault}, "", delayMs);
        const QString report = QString::fromUtf8(check->readAllStandardOutput());
        reported = !report.isEmpty();
        if (!reported) {
            continue;
        }
        EXPECT_TRUE(report.contains(QStringLiteral("encrypted files checked"))) << report.toStdString();
        if (check->exitStatus() == QProcess::CrashExit) {
            EXPECT_TRUE(report.contains(QStringLiteral("interrupted: "))) << report.toStdString();
        } else {
            EXPECT_TRUE(report.contains(QStringLiteral("6 whole"))) << "finished before the interrupt";
        }
    }
    EXPECT_TRUE(reported);

    const QString out = path(QStringLiteral("out"));
    auto extract = interrupted({QStringLiteral("extract"), vault, out}, "\n");
    EXPECT_EQ(extract->exitStatus(), QProcess::CrashExit);
    const QStringList written = entriesOf(out);
    EXPECT_GE(written.size(), 1);
    EXPECT_LT(written.size(), 6);
    for (const QString& name : written) {
        EXPECT_EQ(readFile(out + QLatin1Char('/') + name), readFile(path(QStringLiteral("big/")) + name))
            << name.toStdString();
    }
    EXPECT_EQ(entriesOf(vault), vaultBefore);
}

// A folder registered in the window: written only while the window is not running, with the
// registered password and hint, and the window's metadata code then shows the new file.
TEST_F(KbxFolderTest, AddIntoARegisteredFolderWaitsForTheWindow)
{
    const QString vault = makeFolder(QStringLiteral("registered"));
    const QString source = writeFile(QStringLiteral("in/letter.txt"), "dear reader");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(path(QStringLiteral("xdg-config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(path(QStringLiteral("xdg-data"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeFolder()));
    RecordingMessageService messages;
    CryptEngine engine;
    ContainerCrypt crypt(engine);
    ASSERT_EQ(CreateDataFolder(DataFolderPath()), 0);
    StoreContext store(DataFolderPath(), engine, crypt);
    ASSERT_EQ(store.Start(), 0) << messages.texts().join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(store.folders().AddRegisteredFolder(vault, QStringLiteral("猫の名前"), QLatin1String(Password),
                                                  QStringLiteral("0"), QStringLiteral("S00001"),
                                                  QStringLiteral("0"), DriveFixed),
              0);
    const QStringList add{QStringLiteral("add"), vault, source};
    {
        SingleInstance window(SingleInstance::WindowLockName);
        ASSERT_TRUE(window.acquire());
        const KbxResult run = kbx(add, line(Password));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(QStringLiteral("window is running"))) << run.err.toStdString();
        EXPECT_EQ(entriesOf(vault), QStringList());
    }
    EXPECT_EQ(kbx(add, line(OtherPassword)).exitCode, 1);
    EXPECT_EQ(entriesOf(vault), QStringList());
    const KbxResult run = kbx(add, line(Password));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(
        kbx({QStringLiteral("info"), run.out.trimmed()}).out.contains(QStringLiteral("hint: 猫の名前\n")));

    ASSERT_EQ(engine.SetKeySlot(CryptEngine::PasswordToBytes(QLatin1String(Password)), vault, QString()), 0);
    FolderMetadata::PlainScan scan;
    ASSERT_EQ(store.metadata().ScanPlainAndDuplicates(vault, true, vault, &scan), 0);
    QStringList records;
    ASSERT_EQ(store.metadata().LoadEntryRecords(vault, vault, 0, &records), 0);
    ASSERT_EQ(records.size(), 1);
    EntryRecord record;
    ASSERT_EQ(ParseEntryRecord(records.first(), &record), 0);
    EXPECT_EQ(record.DisplayName, QStringLiteral("letter.txt"));
    EXPECT_EQ(record.EntryKind, EntryRecord::EncryptedFile);
}

// A name that is no UTF-8 beside a file whose name is its replacement text: every command tells
// the two apart, never opens the first through the second's name, and says why it leaves it.
TEST_F(KbxFolderTest, NamesThatAreNoTextAreNeverTakenForAnotherFile)
{
    const QString vault = makeFolder(QStringLiteral("vault"));
    const QString twin = vault + QStringLiteral("/\uFFFD\uFFFD.kbxf");
    ASSERT_EQ(
        kbx({QStringLiteral("encrypt"), writeFile(QStringLiteral("twin.txt"), "twin"), twin}, line(Password))
            .exitCode,
        0);
    const auto putRaw = [](const QString& folder, const QByteArray& bytes) {
        const QByteArray raw = QFile::encodeName(folder) + "/\xff\xfe.kbxf";
        const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
        ::close(fd);
    };
    putRaw(vault, "not the twin");

    KbxResult run = kbx({QStringLiteral("ls"), QStringLiteral("--json"), vault}, line(Password));
    QStringList kinds;
    for (const QJsonValue& value : parseJson(run.out).value(QStringLiteral("entries")).toArray()) {
        kinds.append(value[QStringLiteral("name")].toString() + QLatin1Char('=') +
                     value[QStringLiteral("kind")].toString());
    }
    kinds.sort();
    EXPECT_EQ(kinds, QStringList({QStringLiteral("twin.txt=encrypted"),
                                  QStringLiteral("\uFFFD\uFFFD.kbxf=unreadable")}))
        << run.out.toStdString();

    run = kbx({QStringLiteral("check"), QStringLiteral("--json"), vault}, line(Password));
    EXPECT_EQ(run.exitCode, 1);
    const QJsonArray problems = parseJson(run.out).value(QStringLiteral("problems")).toArray();
    ASSERT_EQ(problems.size(), 1) << run.out.toStdString();
    EXPECT_EQ(problems.at(0)[QStringLiteral("status")].toString(), QStringLiteral("unreadable"));
    EXPECT_TRUE(problems.at(0)[QStringLiteral("detail")].toString().contains(QStringLiteral("UTF-8")));

    const QString out = path(QStringLiteral("out"));
    run = kbx({QStringLiteral("extract"), vault, out}, line(Password));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("UTF-8"))) << run.err.toStdString();
    EXPECT_EQ(entriesOf(out), QStringList{QStringLiteral("twin.txt")});
    EXPECT_EQ(readFile(out + QStringLiteral("/twin.txt")), "twin");

    // A tree to add that holds such a name is refused before anything is added or moved.
    const QString tree = path(QStringLiteral("tree"));
    writeFile(QStringLiteral("tree/a.txt"), "a");
    putRaw(tree, "odd");
    const QStringList before = entriesOf(vault);
    run = kbx({QStringLiteral("add"), QStringLiteral("-r"), QStringLiteral("--move"), vault, tree},
              line(Password));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("UTF-8"))) << run.err.toStdString();
    EXPECT_EQ(entriesOf(vault), before);
    EXPECT_EQ(entriesOf(tree), QStringList{QStringLiteral("a.txt")});
    EXPECT_EQ(::access((QFile::encodeName(tree) + "/\xff\xfe.kbxf").constData(), F_OK), 0);
    // The temporary folder's own removal walks by text too.
    for (const QString& folder : {vault, tree}) {
        ::unlink((QFile::encodeName(folder) + "/\xff\xfe.kbxf").constData());
    }
}

TEST_F(KbxFolderTest, TextsFollowTheLocale)
{
    const QString missing = path(QStringLiteral("missing"));
    struct Case
    {
        const char* name;
        QHash<QString, QString> environment;
        bool japanese;
    };
    const QList<Case> cases = {
        {"LANG Japanese",
         {{QStringLiteral("LC_ALL"), QString()}, {QStringLiteral("LANG"), QStringLiteral("ja_JP.UTF-8")}},
         true},
        {"LC_MESSAGES Japanese",
         {{QStringLiteral("LC_ALL"), QString()},
          {QStringLiteral("LC_MESSAGES"), QStringLiteral("ja_JP.UTF-8")}},
         true},
        {"LC_ALL wins",
         {{QStringLiteral("LC_ALL"), QStringLiteral("C")},
          {QStringLiteral("LANG"), QStringLiteral("ja_JP.UTF-8")}},
         false},
        {"English", {{QStringLiteral("LC_ALL"), QStringLiteral("en_GB.UTF-8")}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_environment = c.environment;
        KbxResult run = kbx({QStringLiteral("ls"), QStringLiteral("--help")});
        EXPECT_EQ(run.out.startsWith(QStringLiteral("使い方: kbx ls")), c.japanese) << run.out.toStdString();
        run = kbx({QStringLiteral("ls"), missing}, line(Password));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err.startsWith(QStringLiteral("kbx: エラー: ")), c.japanese) << run.err.toStdString();
    }
}

} // namespace

// A container whose stored original name extract and decrypt refuse cannot be restored: check
// reports it (the name escaped) and exits 1, whole as its contents are.
TEST_F(KbxFolderTest, CheckReportsStoredNamesNoRestoreCanUse)
{
    const QString source = writeFile(QStringLiteral("in/letter.txt"), "dear reader");
    const QString sound = path(QStringLiteral("letter.kbxf"));
    ASSERT_EQ(kbx({QStringLiteral("encrypt"), source, sound}, line(Password)).exitCode, 0);
    const QString names[] = {QStringLiteral("../x"),
                             QStringLiteral("/etc/passwd"),
                             QStringLiteral("a/b"),
                             QStringLiteral("."),
                             QStringLiteral(".."),
                             QStringLiteral("../a\nb"),
                             QStringLiteral("x") + QChar(0) + QStringLiteral("y")};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString vault = makeFolder(QStringLiteral("crafted"));
        const QString crafted = vault + QStringLiteral("/0123456789ABCDEF-0123456789ABCDEF.kbxf");
        QFile::remove(crafted);
        ASSERT_TRUE(writeWithStoredName(sound, crafted, name));

        KbxResult run = kbx({QStringLiteral("check"), QStringLiteral("--json"), vault}, line(Password));
        EXPECT_EQ(run.exitCode, 1) << run.out.toStdString();
        const QJsonObject report = parseJson(run.out);
        const QJsonArray problems = report.value(QStringLiteral("problems")).toArray();
        ASSERT_EQ(problems.size(), 1) << run.out.toStdString();
        EXPECT_EQ(problems.at(0)[QStringLiteral("status")].toString(), QStringLiteral("unusable-name"));
        EXPECT_EQ(report.value(QStringLiteral("summary"))[QStringLiteral("unusableNames")].toInt(), 1);

        run = kbx({QStringLiteral("check"), vault}, line(Password));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_FALSE(run.out.contains(QLatin1Char('\n') + QStringLiteral("b (")))
            << "a line break in a name is escaped";
        EXPECT_TRUE(run.out.contains(QStringLiteral("unusable stored name"))) << run.out.toStdString();
    }
}

TEST_F(KbxFolderTest, AddNamesWhatItLeavesInATreeAndListShowsPartialFiles)
{
    const QString vault = makeFolder(QStringLiteral("vault2"));
    const QString tree = makeFolder(QStringLiteral("scans"));
    writeFile(QStringLiteral("scans/a.txt"), "page one");
    const QString link = tree + QStringLiteral("/link.txt");
    const QString pipe = tree + QStringLiteral("/pipe");
    ASSERT_EQ(::symlink("a.txt", QFile::encodeName(link).constData()), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);

    // The rest is added and moved; what is left is named, and the command fails at the end.
    KbxResult run = kbx({QStringLiteral("add"), QStringLiteral("-r"), QStringLiteral("--move"), vault, tree},
                        line(Password) + line(Password));
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(link + QStringLiteral(": a link is not followed"))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(pipe + QStringLiteral(": not a regular file"))) << run.err.toStdString();
    EXPECT_EQ(entriesOf(tree), (QStringList{QStringLiteral("link.txt"), QStringLiteral("pipe")}));

    // A write that did not finish left its partial file: listed, marked, not taken for a file.
    writeFile(QStringLiteral("vault2/scans/.0000000000000000-0000000000000000.kbxf.kbxpart"), "half");
    run = kbx({QStringLiteral("ls"), QStringLiteral("-r"), vault}, line(Password));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("scans/\nscans/.0000000000000000-0000000000000000.kbxf.kbxpart  "
                                      "[partial file]\nscans/a.txt\n"));
    run = kbx({QStringLiteral("ls"), QStringLiteral("-r"), QStringLiteral("--json"), vault}, line(Password));
    QStringList kinds;
    for (const QJsonValue& value : parseJson(run.out).value(QStringLiteral("entries")).toArray()) {
        kinds.append(value[QStringLiteral("kind")].toString());
    }
    EXPECT_EQ(kinds, (QStringList{QStringLiteral("folder"), QStringLiteral("partial"),
                                  QStringLiteral("encrypted")}));
}

TEST_F(KbxFolderTest, FoldersItMakesAreTheUsersAloneAndNoLinkIsFollowedOutOfTheTarget)
{
    const QString vault = makeVault();
    const QString out = path(QStringLiteral("out"));
    const QString outside = makeFolder(QStringLiteral("outside"));
    ASSERT_TRUE(QDir().mkpath(out));
    ASSERT_EQ(::symlink("../outside", QFile::encodeName(out + QStringLiteral("/sub")).constData()), 0);
    KbxResult run;
    {
        const ScopedUmask umask(0);
        run = kbx({QStringLiteral("extract"), QStringLiteral("-r"), vault, out}, line(Password));
    }
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(out + QStringLiteral("/sub: skipped: a link"))) << run.err.toStdString();
    EXPECT_EQ(entriesOf(outside), QStringList()) << "nothing is written through the link";
    EXPECT_TRUE(QFileInfo::exists(out + QStringLiteral("/memo.txt")));

    // Made anew under umask 000: the target, its subfolders, and the folders add makes.
    const QString fresh = path(QStringLiteral("fresh"));
    const QString second = makeFolder(QStringLiteral("second"));
    {
        const ScopedUmask umask(0);
        run = kbx({QStringLiteral("extract"), QStringLiteral("-r"), vault, fresh}, line(Password));
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        run = kbx({QStringLiteral("add"), QStringLiteral("-r"), second, fresh + QStringLiteral("/sub")},
                  line(OtherPassword) + line(OtherPassword));
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    }
    EXPECT_EQ(OctalMode(fresh), "0700");
    EXPECT_EQ(OctalMode(fresh + QStringLiteral("/sub")), "0700");
    EXPECT_EQ(OctalMode(fresh + QStringLiteral("/memo.txt")), "0600");
    EXPECT_EQ(OctalMode(second + QStringLiteral("/sub")), "0700");
}

TEST_F(KbxFolderTest, AddRemovesWhatAKilledAddLeftButNotAWriteInProgress)
{
    const QString vault = makeVault();
    const QString abandoned = vault + QStringLiteral("/.1111111111111111-1111111111111111.kbxf.kbxpart");
    const QString held = vault + QStringLiteral("/.2222222222222222-2222222222222222.kbxf.kbxpart");
    writeFile(QStringLiteral("vault/.1111111111111111-1111111111111111.kbxf.kbxpart"), "half");
    writeFile(QStringLiteral("vault/.2222222222222222-2222222222222222.kbxf.kbxpart"), "being written");
    const int writer = ::open(QFile::encodeName(held).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::flock(writer, LOCK_EX), 0);
    const QString more = writeFile(QStringLiteral("more.txt"), "more");
    const KbxResult run = kbx({QStringLiteral("add"), vault, more}, line(Password));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(abandoned));
    EXPECT_TRUE(QFileInfo::exists(held));
    ::close(writer);
}
