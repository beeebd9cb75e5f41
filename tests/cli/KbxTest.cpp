#include "cli/KbxFixture.h"
#include "engine/ContainerCrypt.h"
#include "engine/FormatConstants.h"
#include "store/catalogue/EngineStartup.h"
#include "store/catalogue/MessageCatalogue.h"
#include "support/FileModes.h"
#include "support/RecordingMessageService.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The real kbx binary, run as a child process with its password on standard input.

namespace {

TEST_F(KbxTest, RoundTripRestoresContentAndModificationTime)
{
    const QDateTime modified = QDateTime::fromString(QStringLiteral("2021-03-04T05:06:07Z"), Qt::ISODate);
    // Empty, exactly one cipher block, and incompressible data over several body chunks.
    const QList<QByteArray> contents = {QByteArray(), QByteArray("0123456789abcdef"),
                                        pseudoRandomBytes(300001, 7)};
    for (const QByteArray& content : contents) {
        SCOPED_TRACE(content.size());
        QDir(path(QStringLiteral("out"))).removeRecursively();
        const QString source = writeFile(QStringLiteral("src/report.txt"), content);
        ASSERT_TRUE(setModified(source, modified));
        const QString container = path(QStringLiteral("report.kbxf"));
        KbxResult run = kbx({QStringLiteral("encrypt"), source, container}, line(Password));
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_NE(readFile(container), content);

        const QString out = makeFolder(QStringLiteral("out"));
        run = kbx({QStringLiteral("decrypt"), container, out}, line(Password));
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QString plain = out + QStringLiteral("/report.txt");
        EXPECT_EQ(run.out.trimmed(), plain);
        EXPECT_EQ(readFile(plain), content);
        EXPECT_EQ(QFileInfo(plain).lastModified().toSecsSinceEpoch(), modified.toSecsSinceEpoch());
        EXPECT_EQ(entriesOf(out), QStringList{QStringLiteral("report.txt")});
    }
}

TEST_F(KbxTest, DecryptNeverOverwritesWithoutForce)
{
    const QString container = encryptReport("secret text");
    const QString out = makeFolder(QStringLiteral("out"));
    const QString named = writeFile(QStringLiteral("out/report.txt"), "old one");
    const QString other = writeFile(QStringLiteral("keep.txt"), "old two");

    for (const QString& target : {out, other}) {
        const KbxResult run = kbx({QStringLiteral("decrypt"), container, target}, line(Password));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(QLatin1String("--force"))) << run.err.toStdString();
    }
    EXPECT_EQ(readFile(named), "old one");
    EXPECT_EQ(readFile(other), "old two");

    const KbxResult run =
        kbx({QStringLiteral("decrypt"), QStringLiteral("--force"), container, other}, line(Password));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(readFile(other), "secret text");
}

TEST_F(KbxTest, WrongPasswordFailsAndLeavesNoOutput)
{
    const QString container = encryptReport(pseudoRandomBytes(200000, 3));
    const QByteArray before = readFile(container);
    const QString out = makeFolder(QStringLiteral("out"));

    for (const QString& target : {out, out + QStringLiteral("/named.txt")}) {
        const KbxResult run = kbx({QStringLiteral("decrypt"), container, target}, line(OtherPassword));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_FALSE(run.err.isEmpty());
        EXPECT_EQ(entriesOf(out), QStringList()); // neither the output nor a temporary file
    }
    // An empty standard input gives no password at all.
    EXPECT_EQ(kbx({QStringLiteral("decrypt"), container, out}).exitCode, 1);
    EXPECT_EQ(entriesOf(out), QStringList());
    EXPECT_EQ(readFile(container), before);
}

TEST_F(KbxTest, InfoShowsTheOpenHeaderAndWithKeyWhatThePasswordOpens)
{
    const QDateTime modified = QDateTime::fromString(QStringLiteral("2022-11-12T13:14:15Z"), Qt::ISODate);
    const QString source = writeFile(QStringLiteral("src/report.txt"), "twelve bytes");
    ASSERT_TRUE(setModified(source, modified));
    const QString container = path(QStringLiteral("report.kbxf"));
    ASSERT_EQ(kbx({QStringLiteral("encrypt"), QStringLiteral("--hint=pet's name"), source, container},
                  line(Password))
                  .exitCode,
              0);

    KbxResult run = kbx({QStringLiteral("info"), container});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QLatin1String("status: encrypted file\n")));
    EXPECT_TRUE(run.out.contains(QLatin1String("format: 001\n")));
    EXPECT_TRUE(run.out.contains(QLatin1String("hint: pet's name\n")));
    EXPECT_TRUE(run.out.contains(QLatin1String("size: 12\n")));
    EXPECT_FALSE(run.out.contains(QLatin1String("report"))) << "the name needs the password";

    run = kbx({QStringLiteral("info"), QStringLiteral("--key"), container}, line(Password));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString localModified = modified.toLocalTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
    for (const QString& expected :
         {QStringLiteral("status: readable"), QStringLiteral("name: report.txt"), QStringLiteral("size: 12"),
          QStringLiteral("modified: ") + localModified}) {
        EXPECT_TRUE(run.out.contains(expected + QLatin1Char('\n'))) << run.out.toStdString();
    }
    const QRegularExpression encryptedAt(
        QStringLiteral("^encrypted: \\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d$"),
        QRegularExpression::MultilineOption);
    EXPECT_TRUE(encryptedAt.match(run.out).hasMatch()) << run.out.toStdString();

    run = kbx({QStringLiteral("info"), QStringLiteral("--key"), container}, line(OtherPassword));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.contains(QLatin1String("status: other password\n")));
    EXPECT_FALSE(run.out.contains(QLatin1String("report.txt")));

    for (const QStringList& arguments :
         {QStringList{QStringLiteral("info"), source},
          QStringList{QStringLiteral("info"), QStringLiteral("--key"), source}}) {
        run = kbx(arguments, line(Password));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.out.contains(QLatin1String("status: not an encrypted file\n")))
            << run.out.toStdString();
    }
}

// The stored name comes from whoever wrote the file: decrypting into a folder must not let it
// lead anywhere but into that folder.
TEST_F(KbxTest, DecryptIntoFolderRefusesAStoredNameWithAPath)
{
    const QString container = encryptReport("payload");
    const QString crafted = path(QStringLiteral("crafted.kbxf"));
    ASSERT_TRUE(writeWithStoredName(container, crafted, QStringLiteral("../escaped.txt")));
    const QString out = makeFolder(QStringLiteral("nested/out"));
    const KbxResult run = kbx({QStringLiteral("decrypt"), crafted, out}, line(Password));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("nested/escaped.txt"))));
    EXPECT_EQ(entriesOf(out), QStringList());
}

TEST_F(KbxTest, SetHintChangesTheHintAndNothingElse)
{
    const QString container = encryptReport("content stays", QStringLiteral("old hint"));

    KbxResult run = kbx({QStringLiteral("set-hint"), container, QStringLiteral("ヒントは新しい")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(
        kbx({QStringLiteral("info"), container}).out.contains(QStringLiteral("hint: ヒントは新しい\n")));

    run = kbx({QStringLiteral("set-hint"), container, QString(49, QLatin1Char('h'))});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(
        kbx({QStringLiteral("info"), container}).out.contains(QStringLiteral("hint: ヒントは新しい\n")));

    const QString target = path(QStringLiteral("plain.txt"));
    ASSERT_EQ(kbx({QStringLiteral("decrypt"), container, target}, line(Password)).exitCode, 0);
    EXPECT_EQ(readFile(target), "content stays");
}

TEST_F(KbxTest, RenameWritesACopyUnderTheNewName)
{
    const QByteArray content = pseudoRandomBytes(150000, 11);
    const QString container = encryptReport(content);
    const QByteArray before = readFile(container);
    const QString renamed = path(QStringLiteral("renamed.kbxf"));

    // A longer name needs a larger name block; the body is copied as it is.
    KbxResult run =
        kbx({QStringLiteral("rename"), container, renamed, QStringLiteral("quarterly figures.txt")},
            line(Password));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(readFile(container), before);
    EXPECT_EQ(readFile(renamed).right(1000), before.right(1000));

    run = kbx({QStringLiteral("info"), QStringLiteral("--key"), renamed}, line(Password));
    EXPECT_TRUE(run.out.contains(QLatin1String("name: quarterly figures.txt\n"))) << run.out.toStdString();

    // In place: the file itself is replaced once the copy is complete.
    run = kbx({QStringLiteral("rename"), renamed, renamed, QStringLiteral("final.txt")}, line(Password));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString out = makeFolder(QStringLiteral("out"));
    run = kbx({QStringLiteral("decrypt"), renamed, out}, line(Password));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(readFile(out + QStringLiteral("/final.txt")), content);
    EXPECT_EQ(entriesOf(path(QString())).filter(QStringLiteral("kbxpart")), QStringList());

    // A password that does not open the file must not re-encipher its name.
    const QString wrong = path(QStringLiteral("wrong.kbxf"));
    run = kbx({QStringLiteral("rename"), container, wrong, QStringLiteral("x.txt")}, line(OtherPassword));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(wrong));

    run = kbx({QStringLiteral("rename"), container, path(QStringLiteral("bad.kbxf")), QStringLiteral("a/b")},
              line(Password));
    EXPECT_EQ(run.exitCode, 1);
}

TEST_F(KbxTest, RawRoundTripKeepsTheZeroFill)
{
    const QByteArray content = pseudoRandomBytes(100, 5);
    const QByteArray builtIn = QString::fromUtf16(FormatConstants::kBuiltInPassphrase).toUtf8();
    // Typed password back with the same; an empty password is the built-in passphrase.
    const QList<QPair<QByteArray, QByteArray>> cases = {
        {"Raw-pass-123", "Raw-pass-123"}, {"", ""}, {"", builtIn}};
    for (const auto& [encryptWith, decryptWith] : cases) {
        SCOPED_TRACE(encryptWith.toStdString() + " / " + decryptWith.toStdString());
        const QString plain = writeFile(QStringLiteral("data.bin"), content);
        const QString enciphered = plain + QStringLiteral(".kbxf2");
        QFile::remove(enciphered);
        KbxResult run = kbx({QStringLiteral("raw-encrypt"), plain}, line(encryptWith));
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out.trimmed(), enciphered);
        const QByteArray stored = readFile(enciphered);
        EXPECT_EQ(stored.size(), 112);
        EXPECT_FALSE(stored.contains(content.left(16)));

        const QString out = makeFolder(QStringLiteral("out"));
        QFile::remove(out + QStringLiteral("/data.bin"));
        run = kbx({QStringLiteral("raw-decrypt"), enciphered, out}, line(decryptWith));
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(readFile(out + QStringLiteral("/data.bin")), content + QByteArray(12, '\0'));
    }
}

TEST_F(KbxTest, UsageErrorsExitWithTwo)
{
    const QString file = writeFile(QStringLiteral("a.txt"), "a");
    const QList<QStringList> cases = {
        {},
        {QStringLiteral("frobnicate")},
        {QStringLiteral("encrypt")},
        {QStringLiteral("encrypt"), file},
        {QStringLiteral("decrypt"), file, file, file},
        {QStringLiteral("info"), QStringLiteral("--bogus"), file},
        {QStringLiteral("encrypt"), file, file, QStringLiteral("--hint")},
        {QStringLiteral("set-hint"), QStringLiteral("--force"), file, QStringLiteral("h")},
        {QStringLiteral("info"), QStringLiteral("--key=yes"), file},
    };
    for (const QStringList& arguments : cases) {
        SCOPED_TRACE(arguments.join(QLatin1Char(' ')).toStdString());
        const KbxResult run = kbx(arguments, line(Password));
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.contains(QLatin1String("--help"))) << run.err.toStdString();
    }
    EXPECT_EQ(readFile(file), "a");

    for (const QString& command :
         {QStringLiteral("encrypt"), QStringLiteral("decrypt"), QStringLiteral("info"),
          QStringLiteral("set-hint"), QStringLiteral("rename"), QStringLiteral("raw-encrypt"),
          QStringLiteral("raw-decrypt")}) {
        const KbxResult run = kbx({command, QStringLiteral("--help")});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_TRUE(run.out.startsWith(QStringLiteral("Usage: kbx ") + command + QLatin1Char(' ')));
    }
    EXPECT_EQ(kbx({QStringLiteral("--help")}).exitCode, 0);
    const KbxResult version = kbx({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith(QLatin1String("kbx ")));
}

TEST_F(KbxTest, NewPasswordsFollowTheRules)
{
    const QString source = writeFile(QStringLiteral("a.txt"), "a");
    struct Case
    {
        QString password;
        QString hint;
        bool accepted;
    };
    const QList<Case> cases = {
        {QStringLiteral("Short7!"), QString(), false},
        {QString(33, QLatin1Char('x')), QString(), false},
        {QStringLiteral("has space 123"), QString(), false},
        {QStringLiteral("euro\u20ACsign12"), QString(), false},
        {QStringLiteral("\uFF21bcdefgh1"), QString(), false}, // a full-width letter
        {QStringLiteral("Same-as-hint1"), QStringLiteral("Same-as-hint1"), false},
        {QStringLiteral("Good-pass-1"), QString(49, QLatin1Char('h')), false},
        {QStringLiteral("abcdefgh"), QString(48, QLatin1Char('h')), true},
        {QStringLiteral("Quote\"and\uFF61mark+") + QString(16, QLatin1Char('9')), QString(), true}, // 32
    };
    const QString container = path(QStringLiteral("a.kbxf"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.password.toStdString());
        QFile::remove(container);
        QStringList arguments{QStringLiteral("encrypt"), source, container};
        if (!c.hint.isNull()) {
            arguments.insert(1, QStringLiteral("--hint=") + c.hint);
        }
        const QByteArray input = line(c.password.toUtf8());
        KbxResult run = kbx(arguments, input);
        EXPECT_EQ(run.exitCode, c.accepted ? 0 : 1) << run.err.toStdString();
        EXPECT_EQ(QFileInfo::exists(container), c.accepted);
        if (c.accepted) {
            run = kbx({QStringLiteral("info"), QStringLiteral("--key"), container}, input);
            EXPECT_TRUE(run.out.startsWith(QLatin1String("status: readable\n"))) << run.out.toStdString();
        }
    }
}

TEST_F(KbxTest, EncryptReplacesAnEncryptedFileButNoOtherFile)
{
    const QString first = writeFile(QStringLiteral("first.txt"), "first");
    const QString second = writeFile(QStringLiteral("second.txt"), "second");
    const QString container = path(QStringLiteral("c.kbxf"));
    ASSERT_EQ(kbx({QStringLiteral("encrypt"), first, container}, line(Password)).exitCode, 0);
    ASSERT_EQ(kbx({QStringLiteral("encrypt"), second, container}, line(OtherPassword)).exitCode, 0);
    const QString plain = path(QStringLiteral("plain.txt"));
    ASSERT_EQ(kbx({QStringLiteral("decrypt"), container, plain}, line(OtherPassword)).exitCode, 0);
    EXPECT_EQ(readFile(plain), "second");

    const QString notes = writeFile(QStringLiteral("notes.txt"), "my notes");
    KbxResult run = kbx({QStringLiteral("encrypt"), first, notes}, line(Password));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(readFile(notes), "my notes");
    run = kbx({QStringLiteral("encrypt"), first, first}, line(Password));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(readFile(first), "first");

    run = kbx({QStringLiteral("encrypt"), QStringLiteral("--force"), first, notes}, line(Password));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(
        kbx({QStringLiteral("info"), notes}).out.startsWith(QLatin1String("status: encrypted file\n")));
}

// Whatever the umask, what kbx writes is the user's alone, a container too (its header tells the
// original name and size). A container the user opened up stays so through a new hint, a renamed
// copy and a replacement.
TEST_F(KbxTest, OutputsAreTheUsersAloneUntilTheUserWidensThem)
{
    const ScopedUmask umask(0); // the child inherits it
    const QString source = writeFile(QStringLiteral("src/report.txt"), "secret text");
    const QString container = path(QStringLiteral("report.kbxf"));
    const QString renamed = path(QStringLiteral("renamed.kbxf"));
    const QString out = makeFolder(QStringLiteral("out"));
    const QString raw = source + QStringLiteral(".kbxf2");
    const struct
    {
        const char* name;
        bool widenFirst; // the user gives the container 0644 before the step
        QStringList arguments;
        QString output;
        const char* mode;
    } steps[] = {
        {"encrypt", false, {QStringLiteral("encrypt"), source, container}, container, "0600"},
        {"decrypt",
         false,
         {QStringLiteral("decrypt"), container, out},
         out + QStringLiteral("/report.txt"),
         "0600"},
        {"raw-encrypt", false, {QStringLiteral("raw-encrypt"), source}, raw, "0600"},
        {"raw-decrypt",
         false,
         {QStringLiteral("raw-decrypt"), raw, out + QStringLiteral("/raw.txt")},
         out + QStringLiteral("/raw.txt"),
         "0600"},
        {"set-hint",
         true,
         {QStringLiteral("set-hint"), container, QStringLiteral("new hint")},
         container,
         "0644"},
        {"rename",
         true,
         {QStringLiteral("rename"), container, renamed, QStringLiteral("other.txt")},
         renamed,
         "0644"},
        {"encrypt over it", true, {QStringLiteral("encrypt"), source, container}, container, "0644"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        if (step.widenFirst) {
            ASSERT_EQ(::chmod(QFile::encodeName(container).constData(), 0644), 0);
        }
        const KbxResult run = kbx(step.arguments, line(Password));
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(OctalMode(step.output), step.mode);
    }
}

} // namespace

// A signal that ends the tool in the middle of a write (here the file-size limit's SIGXFSZ)
// leaves no partial output behind.
TEST_F(KbxTest, TerminatingSignalsLeaveNoPartialOutput)
{
    const QString container = encryptReport(pseudoRandomBytes(400000, 3));
    const QString out = makeFolder(QStringLiteral("out"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("xdg-config")));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), QStringLiteral("ulimit -f 200; exec \"$0\" \"$@\""),
                   QStringLiteral(KBX_BINARY), QStringLiteral("decrypt"), container,
                   out + QStringLiteral("/report.txt")});
    ASSERT_TRUE(process.waitForStarted(10000));
    process.write(line(Password));
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(120000));
    EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(entriesOf(out), QStringList());
}

// Header text is anyone's to write: its control characters are printed escaped, so a hint can
// neither forge a line of `kbx info` nor send escape sequences to the terminal.
TEST_F(KbxTest, HeaderTextReachesTheTerminalEscaped)
{
    const QString container = encryptReport("x", QStringLiteral("a\nsize: 999\x1b[2J\\"));
    const KbxResult run = kbx({QStringLiteral("info"), container});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QLatin1String("hint: a\\x0asize: 999\\x1b[2J\\\\\n")))
        << run.out.toStdString();
    EXPECT_FALSE(run.out.contains(QLatin1String("\nsize: 999")));
    EXPECT_FALSE(run.out.contains(QLatin1Char('\x1b')));
}

// A password line that never ends is refused at the line limit instead of read for ever.
TEST_F(KbxTest, EndlessPasswordLineIsRefused)
{
    const QString container = encryptReport("x");
    QProcess process;
    process.setStandardInputFile(QStringLiteral("/dev/zero"));
    process.start(QStringLiteral(KBX_BINARY), {QStringLiteral("info"), QStringLiteral("--key"), container});
    ASSERT_TRUE(process.waitForStarted(10000));
    const bool finished = process.waitForFinished(20000);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    ASSERT_TRUE(finished);
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError()).contains(QLatin1String("longer than")));
}

// kill -9 at random moments of an encrypt that replaces an existing container: the container
// is always either the old one or the new one, whole, and the next run clears what a killed
// one left.
TEST_F(KbxTest, EncryptKilledAtAnyMomentNeverLeavesABrokenContainer)
{
    const QByteArray versions[] = {pseudoRandomBytes(400000, 11), pseudoRandomBytes(300000, 12)};
    const QString container = encryptReport(versions[0]);
    const QString source = path(QStringLiteral("src/report.txt"));
    const QString out = path(QStringLiteral("check.txt"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("xdg-config")));
    const QStringList arguments = {QStringLiteral("encrypt"), source, container};

    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(kbx(arguments, line(Password)).exitCode, 0);
    const qint64 fullRun = qMax<qint64>(clock.elapsed(), 20);

    QRandomGenerator random(19);
    int kills = 0;
    for (int round = 0; round < 200 && kills < 50; ++round) {
        writeFile(QStringLiteral("src/report.txt"), versions[round % 2]);
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(KBX_BINARY), arguments);
        ASSERT_TRUE(process.waitForStarted(10000));
        process.write(line(Password));
        process.closeWriteChannel();
        if (!process.waitForFinished(int(random.bounded(fullRun + 1)))) {
            process.kill();
            process.waitForFinished(10000);
            ++kills;
        }
        const KbxResult check =
            kbx({QStringLiteral("decrypt"), QStringLiteral("--force"), container, out}, line(Password));
        ASSERT_EQ(check.exitCode, 0) << "round " << round << ": " << check.err.toStdString();
        const QByteArray content = readFile(out);
        ASSERT_TRUE(content == versions[0] || content == versions[1]) << "round " << round;
    }
    EXPECT_GE(kills, 50);
    ASSERT_EQ(kbx(arguments, line(Password)).exitCode, 0);
    EXPECT_EQ(entriesOf(m_dir.path()).filter(QStringLiteral(".kbxpart")), QStringList());
}

// A target written with a trailing "/" is a folder: the output goes into it when it exists, and a
// missing one (or a file of that name) is an error that writes nothing, instead of a file named
// after the folder.
TEST_F(KbxTest, TargetWithTrailingSlashIsAFolder)
{
    const QString container = encryptReport("secret text");
    const QString source = writeFile(QStringLiteral("plain.txt"), "plain");
    ASSERT_EQ(kbx({QStringLiteral("raw-encrypt"), source}, line(Password)).exitCode, 0);
    const QString raw = source + QStringLiteral(".kbxf2");
    const QString file = writeFile(QStringLiteral("afile"), "a file");
    const QString missing = path(QStringLiteral("nodir"));
    const struct
    {
        const char* name;
        QStringList arguments;
        int exitCode;
        QString written; // empty: nothing may appear
    } cases[] = {
        {"decrypt into a missing folder",
         {QStringLiteral("decrypt"), container, missing + '/'},
         1,
         QString()},
        {"decrypt into a file", {QStringLiteral("decrypt"), container, file + '/'}, 1, QString()},
        {"raw-decrypt into a missing folder",
         {QStringLiteral("raw-decrypt"), raw, missing + '/'},
         1,
         QString()},
        {"encrypt into a missing folder", {QStringLiteral("encrypt"), source, missing + '/'}, 1, QString()},
        {"decrypt into an existing folder",
         {QStringLiteral("decrypt"), container, makeFolder(QStringLiteral("out")) + '/'},
         0,
         path(QStringLiteral("out/report.txt"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const KbxResult run = kbx(c.arguments, line(Password));
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(missing));
        EXPECT_EQ(readFile(file), QByteArray("a file"));
        if (!c.written.isEmpty()) {
            EXPECT_EQ(readFile(c.written), QByteArray("secret text"));
        }
    }
}
