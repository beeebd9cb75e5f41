#pragma once

#include "engine/ContainerCrypt.h"
#include "engine/ContainerNaming.h"
#include "store/checks/ContainerChecks.h"
#include "store/checks/DecryptedCopyGuard.h"
#include "store/checks/TreeCopies.h"
#include "store/metadata/FolderMetadata.h"
#include "store/working/WorkingCopyPaths.h"
#include "store/working/WorkingFolderFixture.h"
#include "util/NamingRules.h"

// A registered folder "vault/secret" with its store folder "work/AbC123", its key in the engine,
// and the store's checks wired to them as the main window wires them.
class StoreChecksTest : public WorkingFolderTest
{
protected:
    static constexpr const char* Password = "Pass-word1";

    void SetUp() override
    {
        WorkingFolderTest::SetUp();
        crypt.setWorkingFolder(workingFolder());
        root = registerFolder(QStringLiteral("secret"), QStringLiteral("AbC123"));
        ASSERT_EQ(engine.SetKeySlot(Password, root, QStringLiteral("いつもの")), 0);
        ASSERT_TRUE(QDir().mkpath(store()));
        messages.clear();
    }

    QString store() const { return storeFolder(QStringLiteral("AbC123")); }

    // Encrypts a plain file called `name` into `folder` under a fresh container name.
    QString encrypt(const QString& folder, const QString& name, const QByteArray& bytes = "secret text",
                    const QString& key = QString())
    {
        const QString plain = path(QStringLiteral("plain/") + name);
        put(plain, bytes);
        QDir().mkpath(folder);
        QString containerName;
        EXPECT_EQ(ContainerName(folder, &containerName), 0);
        const QString container = folder + QLatin1Char('/') + containerName;
        EXPECT_EQ(crypt.EncryptIntoFolder(plain, container, key.isEmpty() ? root : key), 0)
            << shownMessages().toStdString();
        return container;
    }
    // A container whose stored name is `storedName`, which no real file could have had.
    QString craftedContainer(const QString& folder, const QString& storedName)
    {
        const QString source = encrypt(path(QStringLiteral("craft")), QStringLiteral("harmless.txt"));
        QString containerName;
        EXPECT_EQ(ContainerName(folder, &containerName), 0);
        const QString container = folder + QLatin1Char('/') + containerName;
        EXPECT_EQ(crypt.RenameContainer(source, container, storedName, root, true), 0)
            << shownMessages().toStdString();
        return container;
    }

    ContainerCrypt crypt{engine};
    FolderMetadata metadata{table, [this] { return workingFolder(); }, crypt};
    ContainerChecks checks{crypt};
    WorkingCopyPaths paths{table, metadata, checks, [this] { return workingFolder(); }};
    DecryptedCopyGuard guard{table, metadata, checks, paths};
    TreeCopies copies{checks, [this] { return workingFolder(); }};
    QString root;
};
