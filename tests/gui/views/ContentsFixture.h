#pragma once

#include "engine/ContainerCrypt.h"
#include "engine/CryptEngine.h"
#include "frame/MainWindow.h"
#include "gui/frame/WindowFixture.h"
#include "support/TestContainers.h"
#include "util/MessageService.h"
#include "views/contents/ContentsModel.h"
#include "views/contents/ContentsView.h"

#include <QDir>

// The real window with a folder that already holds containers made with the password the user
// registers it with.
class ContentsFixture : public WindowFixture
{
protected:
    static constexpr const char* Password = "Pass-word1";

    void prepareHome() override
    {
        // Text files are shown without their extension, as where a program opens them.
        makeProgramForTextFiles("true %f");
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/写真")));
    }
    void SetUp() override
    {
        WindowFixture::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        CryptEngine& engine = frame->store().engine();
        ASSERT_FALSE(engine.SetTemporaryKey(QLatin1String(Password), QString()).isEmpty());
        report = EncryptTestFile(frame->store().crypt(), m_home.path(), folder, QStringLiteral("報告書.txt"),
                                 CryptEngine::TemporarySlotName, QByteArray(3000, 'r'));
        noExtension = EncryptTestFile(frame->store().crypt(), m_home.path(), folder, QStringLiteral("README"),
                                      CryptEngine::TemporarySlotName, "x");
        list = frame->contents();
        model = list->contentsModel();
    }

    // Yes to "already holds files", no to replacing the hints.
    void registerFolder()
    {
        WindowFixture::registerFolder(folder, QLatin1String(Password), {MsgButton::Yes, MsgButton::No});
    }

    int rowOf(const QString& name) const
    {
        for (int row = 0; row < model->rowCount(); ++row) {
            if (model->text(row, ContentsModel::OriginalName) == name) {
                return row;
            }
        }
        return -1;
    }

    QStringList column(int index) const
    {
        QStringList texts;
        for (int row = 0; row < model->rowCount(); ++row) {
            texts.append(model->text(row, index));
        }
        return texts;
    }

    const QString folder = home(QStringLiteral("金庫"));
    ContentsView* list = nullptr;
    ContentsModel* model = nullptr;
    QString report;
    QString noExtension;
};
