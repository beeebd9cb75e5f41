#pragma once

#include "engine/CryptEngine.h"
#include "store/catalogue/EngineStartup.h"
#include "store/catalogue/MessageCatalogue.h"
#include "store/datafiles/WholeFileSave.h"
#include "support/FakePlatform.h"
#include "support/RecordingMessageService.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The store's tests run with the real catalogues and the program's own key, a data folder in a
// temporary folder, and pretend documents and desktop folders.
class StoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_EQ(StartEngine(engine, catalogue), 0);
        platform.setSpecialFolder(SpecialFolder::Documents, path("home/Documents"));
        platform.setSpecialFolder(SpecialFolder::Desktop, path("home/Desktop"));
        ASSERT_TRUE(QDir().mkpath(dataFolder()));
    }

    void TearDown() override { SetSaveFailureForTesting({}); }

    QString path(const QString& relative) const { return m_dir.path() + QLatin1Char('/') + relative; }
    QString dataFolder() const { return path(QStringLiteral("data")); }

    static QByteArray readFile(const QString& file) { return ReadTestFile(file); }
    static void writeFile(const QString& file, const QByteArray& bytes) { WriteTestFile(file, bytes); }
    // The deciphered contents of a data file.
    QByteArray plainFile(const QString& file)
    {
        QByteArray bytes = readFile(file);
        EXPECT_EQ(engine.DecipherWithIntrinsicKey(bytes.data(), bytes.size()), 0);
        return bytes;
    }
    void writePlainFile(const QString& file, QByteArray plain)
    {
        ASSERT_EQ(engine.EncipherWithIntrinsicKey(plain.data(), plain.size()), 0);
        writeFile(file, plain);
    }
    // The names in the data folder, so that a test can see that no temporary file is left.
    QStringList dataFolderEntries() const
    {
        return QDir(dataFolder()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    RecordingMessageService messages;
    FakePlatform platform;
    CryptEngine engine;
    MessageCatalogue catalogue{engine};

private:
    QTemporaryDir m_dir;
};
