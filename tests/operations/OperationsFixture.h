#pragma once

#include "engine/ContainerCrypt.h"
#include "engine/CryptEngine.h"
#include "platform/Platform.h"
#include "store/StoreContext.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/FolderMetadata.h"
#include "support/FakePlatform.h"
#include "support/RecordingMessageService.h"
#include "support/RecordingPromptService.h"
#include "support/TestContainers.h"
#include "support/TestFiles.h"
#include "util/MainWindowServices.h"
#include "util/MessageText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// An operation runs as in the window, but without one: the store started over a data folder
// and a working folder of a temporary home, a registered folder "vault/secret" that is logged
// in, and recording message and prompt services in place of the dialogs.
class OperationsTest : public ::testing::Test
{
protected:
    static constexpr const char* Password = "Pass-word1";

    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        MainWindowServices::instance().reset();
        platform.setSpecialFolder(SpecialFolder::Data, path(QStringLiteral("home/data")));
        ASSERT_EQ(store.Start(), 0) << shownMessages();
        ASSERT_TRUE(QDir().mkpath(root));
        ASSERT_EQ(store.folders().AddRegisteredFolder(root, QString(), QLatin1String(Password),
                                                      QStringLiteral("0"), QStringLiteral("S00001"),
                                                      QStringLiteral("0"), DriveFixed),
                  0);
        ASSERT_EQ(engine.SetKeySlot(CryptEngine::PasswordToBytes(QLatin1String(Password)), root, QString()),
                  0);
        messages.clear();
    }

    QString path(const QString& relative) const { return m_home.path() + QLatin1Char('/') + relative; }

    // Encrypts a file of that original name into the folder with the key of `slot` (the
    // folder's own by default) and brings the metadata of a folder of "vault/secret" up to date.
    // Returns the container's path.
    QString encrypt(const QString& folder, const QString& plainName, const QString& slot = QString())
    {
        const QString container = EncryptTestFile(crypt, path(QStringLiteral("plain")), folder, plainName,
                                                  slot.isEmpty() ? root : slot, "secret contents");
        if (folder.startsWith(root)) {
            EXPECT_EQ(store.metadata().SyncFolderMetadata(folder, root), 0) << shownMessages();
        }
        return container;
    }

    // Whether a message box began with catalogue message A-`message`.
    bool shown(int message) const
    {
        for (const QString& text : messages.texts()) {
            if (text.startsWith(MsgA(message))) {
                return true;
            }
        }
        return false;
    }

    std::string shownMessages() const
    {
        return messages.texts().join(QStringLiteral("\n--\n")).toStdString();
    }

    FakePlatform platform;
    RecordingMessageService messages;
    RecordingPromptService prompts;
    CryptEngine engine;
    ContainerCrypt crypt{engine};

private:
    QTemporaryDir m_home;

protected:
    StoreContext store{path(QStringLiteral("home/config")), engine, crypt};
    const QString root = path(QStringLiteral("vault/secret"));
};
