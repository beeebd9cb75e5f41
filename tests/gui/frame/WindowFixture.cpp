#include "gui/frame/WindowFixture.h"

#include "frame/tree/FolderTreeView.h"
#include "support/TestFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

void WindowFixture::SetUp()
{
    ASSERT_TRUE(m_home.isValid());
    platform.addVolume(m_home.path(), QStringLiteral("ext4"), DriveFixed);
    qputenv("XDG_DATA_HOME", QFile::encodeName(home(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home(QStringLiteral("config"))));
    prepareHome();
    if (HasFatalFailure()) {
        return;
    }
    frame = std::make_unique<MainWindow>(home(QStringLiteral("config/kurasoft/KBXcl1")));
    ASSERT_TRUE(frame->isCreated()) << shownTexts();
}

void WindowFixture::makeProgramForTextFiles(const QByteArray& exec)
{
    WriteTestFile(home(QStringLiteral("data/applications/kbx-test-editor.desktop")),
                  "[Desktop Entry]\nType=Application\nName=Test Editor\nExec=" + exec +
                      "\nMimeType=text/plain;\n");
    WriteTestFile(home(QStringLiteral("config/mimeapps.list")),
                  "[Default Applications]\ntext/plain=kbx-test-editor.desktop\n");
}

void WindowFixture::registerFolder(const QString& folder, const QString& password,
                                   const QList<MsgButton>& answers)
{
    messages.script(answers);
    prompts.scriptNewPasswords({{password, QString()}});
    ASSERT_EQ(frame->tree()->RegisterFolder(folder), 0) << shownTexts();
    messages.script({});
    messages.clear();
}

bool WaitFor(const std::function<bool()>& condition, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < milliseconds) {
        QTest::qWait(20);
    }
    return condition();
}
