// The window's check of an encrypted folder and `kbx check` give the same verdicts: a tree of
// crafted folders, one kind of problem in each, checked both ways.

#include "engine/ContainerFormat.h"
#include "operations/OperationsFixture.h"
#include "operations/check/FolderCheckRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QUuid>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class FolderCheckVerdictTest : public OperationsTest
{
protected:
    // A folder of the tree for one case.
    QString folder(const QString& name)
    {
        const QString made = root + QLatin1Char('/') + name;
        EXPECT_TRUE(QDir().mkpath(made));
        return made;
    }

    // The verdict as both sides word it: the keyword, the path below the folder checked and, for
    // a file that opens with the key, its original name.
    static QString verdict(const QString& keyword, const QString& relative, const QString& name = QString())
    {
        return keyword + QLatin1Char(' ') + relative +
               (name.isEmpty() ? QString() : QStringLiteral(" (") + name + ")");
    }

    QString relative(const QString& path) const { return QDir(root).relativeFilePath(path); }

    // What the window's command finds.
    QStringList windowVerdicts(CheckSummary* summary)
    {
        static const QHash<int, QString> keywords = {
            {CheckFinding::Damaged, "damaged"},          {CheckFinding::OtherPassword, "other-password"},
            {CheckFinding::NewerFormat, "newer-format"}, {CheckFinding::Unreadable, "unreadable"},
            {CheckFinding::NameNotText, "unreadable"},   {CheckFinding::Plain, "plain"},
            {CheckFinding::Duplicate, "duplicate"},      {CheckFinding::UnusableName, "unusable-name"},
            {CheckFinding::Partial, "partial"},          {CheckFinding::NotAFile, "not-a-file"}};
        FolderCheckRun check(root, true, engine.slot(engine.findSlot(root)), 2);
        EXPECT_EQ(check.Run([] { return false; }, [] {}), 0);
        *summary = check.summary();
        QStringList verdicts;
        for (const CheckFinding& finding : check.findings()) {
            const bool named =
                finding.kind == CheckFinding::Damaged || finding.kind == CheckFinding::UnusableName;
            verdicts.append(verdict(keywords.value(finding.kind), relative(finding.path),
                                    named ? finding.originalName : QString()));
        }
        return verdicts;
    }

    // What `kbx check -r --json` finds, and its exit code.
    QStringList kbxVerdicts(QJsonObject* summary, int* exitCode)
    {
        QProcess kbx;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("kbx-config")));
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        kbx.setProcessEnvironment(environment);
        kbx.start(QStringLiteral(KBX_BINARY),
                  {QStringLiteral("check"), QStringLiteral("-r"), QStringLiteral("--json"), root});
        EXPECT_TRUE(kbx.waitForStarted(10000));
        kbx.write(QByteArray(Password) + '\n');
        kbx.closeWriteChannel();
        EXPECT_TRUE(kbx.waitForFinished(120000));
        *exitCode = kbx.exitCode();
        const QJsonObject report = QJsonDocument::fromJson(kbx.readAllStandardOutput()).object();
        *summary = report.value(QStringLiteral("summary")).toObject();
        QStringList verdicts;
        for (const QJsonValue& problem : report.value(QStringLiteral("problems")).toArray()) {
            verdicts.append(problem[QStringLiteral("status")].toString() + QLatin1Char(' ') +
                            problem[QStringLiteral("path")].toString());
        }
        EXPECT_FALSE(verdicts.isEmpty()) << kbx.readAllStandardError().toStdString();
        return verdicts;
    }

    static void rewrite(const QString& file, const std::function<void(QByteArray&)>& change)
    {
        QByteArray bytes = ReadTestFile(file);
        change(bytes);
        WriteTestFile(file, bytes);
    }
};

} // namespace

TEST_F(FolderCheckVerdictTest, WindowAndCommandLineFindTheSameProblems)
{
    QStringList expected;
    encrypt(folder(QStringLiteral("whole")), QStringLiteral("a.txt"));
    encrypt(root, QStringLiteral("top.txt"));

    const QString damaged = encrypt(folder(QStringLiteral("damaged")), QStringLiteral("b.txt"));
    rewrite(damaged,
            [](QByteArray& bytes) { bytes[bytes.size() - 20] = char(bytes.at(bytes.size() - 20) ^ 0x5a); });
    expected.append(verdict("damaged", relative(damaged), QStringLiteral("b.txt")));

    ASSERT_FALSE(engine.SetTemporaryKey(QStringLiteral("Other-pass1"), QString()).isEmpty());
    const QString other = EncryptTestFile(crypt, path(QString()), folder(QStringLiteral("other")),
                                          QStringLiteral("c.txt"), CryptEngine::TemporarySlotName, "x");
    expected.append(verdict("other-password", relative(other)));

    const QString newer = encrypt(folder(QStringLiteral("newer")), QStringLiteral("n.txt"));
    rewrite(newer, [this](QByteArray& bytes) {
        QByteArray header = bytes.left(384);
        ASSERT_EQ(engine.DecipherWithIntrinsicKey(header.data(), header.size()), 0);
        header[28] = '2';
        ASSERT_EQ(engine.EncipherWithIntrinsicKey(header.data(), header.size()), 0);
        bytes.replace(0, 384, header);
    });
    expected.append(verdict("newer-format", relative(newer)));

    const QString plain = folder(QStringLiteral("plain")) + QStringLiteral("/notes.txt");
    WriteTestFile(plain, "not encrypted");
    expected.append(verdict("plain", relative(plain)));

    const QString unreadable = folder(QStringLiteral("unreadable")) + QLatin1Char('/') +
                               ContainerFormat::ContainerFileName(QUuid::createUuid());
    WriteTestFile(unreadable, QByteArray(500, 'z'));
    expected.append(verdict("unreadable", relative(unreadable)));

    const QString twice = folder(QStringLiteral("twice"));
    encrypt(twice, QStringLiteral("d.txt"));
    encrypt(twice, QStringLiteral("d.txt"));
    expected.append(verdict("duplicate", relative(twice) + QStringLiteral("/d.txt")));

    // Stored names no restore can use.
    const QString names = folder(QStringLiteral("names"));
    for (const QString& name : {QStringLiteral("../x"), QStringLiteral("a/b"), QStringLiteral("..")}) {
        const QString source = encrypt(names, QStringLiteral("e.txt"));
        const QString crafted =
            names + QLatin1Char('/') + ContainerFormat::ContainerFileName(QUuid::createUuid());
        ASSERT_EQ(crypt.RenameContainer(source, crafted, name, root, false), 0) << shownMessages();
        QFile::remove(source);
        expected.append(verdict("unusable-name", relative(crafted), name));
    }

    const QString left = folder(QStringLiteral("left"));
    const QString partial = left + QStringLiteral("/.f.kbxf.kbxpart");
    WriteTestFile(partial, "half a container");
    expected.append(verdict("partial", relative(partial)));
    const QString dangling = left + QStringLiteral("/gone.kbxf");
    ASSERT_EQ(symlink("nowhere.kbxf", QFile::encodeName(dangling).constData()), 0);
    const QString pipe = left + QStringLiteral("/pipe.kbxf");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    expected.append(verdict("not-a-file", relative(dangling)));
    expected.append(verdict("not-a-file", relative(pipe)));
    expected.sort();

    CheckSummary summary;
    QStringList window = windowVerdicts(&summary);
    QJsonObject kbxSummary;
    int exitCode = -1;
    QStringList command = kbxVerdicts(&kbxSummary, &exitCode);
    window.sort();
    command.sort();
    EXPECT_EQ(window, expected);
    EXPECT_EQ(command, expected);
    EXPECT_EQ(exitCode, 1);
    EXPECT_FALSE(summary.clean());
    const std::pair<const char*, qint64> counts[] = {
        {"checked", summary.checked},       {"whole", summary.whole},
        {"damaged", summary.damaged},       {"foreign", summary.foreign},
        {"unreadable", summary.unreadable}, {"plain", summary.plain},
        {"duplicates", summary.duplicates}, {"unusableNames", summary.unusableNames},
        {"partial", summary.partial},       {"notFiles", summary.notFiles}};
    for (const auto& [key, value] : counts) {
        EXPECT_EQ(kbxSummary.value(QLatin1String(key)).toInteger(-1), value) << key;
    }
    EXPECT_EQ(summary.whole, 2 + 2 + 3); // whole, top, the twice-named pair, the three crafted names
}

TEST_F(FolderCheckVerdictTest, StoppedCheckSaysSoAndNamesNothingItDidNotCheck)
{
    for (int i = 0; i < 6; ++i) {
        encrypt(root, QStringLiteral("f%1.txt").arg(i));
    }
    FolderCheckRun check(root, true, engine.slot(engine.findSlot(root)), 1);
    int asked = 0;
    ASSERT_EQ(check.Run([&] { return ++asked > 3; }, [] {}), 0);
    EXPECT_FALSE(check.summary().complete);
    EXPECT_FALSE(check.summary().clean());
    EXPECT_LT(check.summary().checked, 6);
    EXPECT_EQ(check.summary().whole, check.summary().checked);
    EXPECT_TRUE(check.findings().isEmpty());
}
