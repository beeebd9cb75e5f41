#pragma once

// The real kbx binary, run as a child process with its password on standard input, in a
// temporary folder of its own with its own configuration, data and runtime folders and the C
// locale.

#include "engine/ContainerCrypt.h"
#include "engine/CryptEngine.h"
#include "store/catalogue/EngineStartup.h"
#include "store/catalogue/MessageCatalogue.h"
#include "support/RecordingMessageService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

inline const QByteArray Password = "Tr0ub4dor&3x";
inline const QByteArray OtherPassword = "Correct-Horse-9";

struct KbxResult
{
    int exitCode = -1;
    QString out;
    QString err;
};

inline QByteArray line(const QByteArray& password)
{
    return password + '\n';
}

inline QByteArray pseudoRandomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes) {
        byte = static_cast<char>(generator.bounded(256));
    }
    return bytes;
}

class KbxTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    KbxResult kbx(const QStringList& arguments, const QByteArray& input = QByteArray())
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("xdg-config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("xdg-data")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder());
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        for (auto it = m_environment.cbegin(); it != m_environment.cend(); ++it) {
            it.value().isNull() ? environment.remove(it.key()) : environment.insert(it.key(), it.value());
        }
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(KBX_BINARY), arguments);
        EXPECT_TRUE(process.waitForStarted(10000));
        process.write(input);
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(120000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit)
            << arguments.join(QLatin1Char(' ')).toStdString();
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString filePath = path(name);
        QDir().mkpath(QFileInfo(filePath).absolutePath());
        QFile file(filePath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return filePath;
    }

    static bool setModified(const QString& filePath, const QDateTime& time)
    {
        QFile file(filePath);
        return file.open(QIODevice::ReadWrite) && file.setFileTime(time, QFileDevice::FileModificationTime);
    }

    static QByteArray readFile(const QString& filePath)
    {
        QFile file(filePath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QString makeFolder(const QString& name)
    {
        QDir().mkpath(path(name));
        return path(name);
    }

    static QStringList entriesOf(const QString& folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    // A container of `content` named report.txt, under Password with the given hint.
    QString encryptReport(const QByteArray& content, const QString& hint = QStringLiteral("my hint"))
    {
        const QString source = writeFile(QStringLiteral("src/report.txt"), content);
        const QString container = path(QStringLiteral("report.kbxf"));
        const KbxResult run = kbx(
            {QStringLiteral("encrypt"), QStringLiteral("--hint"), hint, source, container}, line(Password));
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return container;
    }

    // A copy of the container (under Password) at target whose stored original name is `name`,
    // whatever it is: what a crafted or damaged folder holds. False after a failure.
    static bool writeWithStoredName(const QString& container, const QString& target, const QString& name)
    {
        RecordingMessageService messages;
        CryptEngine engine;
        MessageCatalogue catalogue(engine);
        if (StartEngine(engine, catalogue) != 0) {
            return false;
        }
        const QString slot = engine.SetTemporaryKey(QString::fromLatin1(Password), QString());
        ContainerCrypt crypt(engine);
        const bool written = crypt.RenameContainer(container, target, name, slot, false) == 0;
        EXPECT_TRUE(written) << messages.texts().join(QLatin1Char('\n')).toStdString();
        return written;
    }

    // The user's runtime folder of the child (the window's lock lies there), private as it must be.
    QString runtimeFolder() const
    {
        const QString folder = path(QStringLiteral("run"));
        QDir().mkpath(folder);
        QFile::setPermissions(folder,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return folder;
    }

    QTemporaryDir m_dir;
    // Variables set for the child on top of the fixture's (a null value removes one).
    QHash<QString, QString> m_environment;
};
