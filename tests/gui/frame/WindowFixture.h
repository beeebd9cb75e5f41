#pragma once

#include "frame/MainWindow.h"
#include "support/FakePlatform.h"
#include "support/RecordingMessageService.h"
#include "support/RecordingPromptService.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// The real window over an empty temporary home: the home counts as a fixed disk wherever the
// machine keeps /tmp, the desktop's data and configuration folders lie inside it, and message
// boxes and password prompts are recorded. Tests that need files in the home before the window
// starts (desktop entries, folders) put them there in prepareHome().
class WindowFixture : public ::testing::Test
{
protected:
    void SetUp() override;

    // Runs before the window is built, with the desktop folders already pointing into the home.
    virtual void prepareHome() {}

    // Makes `exec` (a command line ending in %f) the desktop's program for text files inside the
    // home, as a desktop with a text editor has one; a minimal system has none, and the list then
    // shows text files with their extension. Call it from prepareHome().
    void makeProgramForTextFiles(const QByteArray& exec);

    // The path of `relative` inside the home.
    QString home(const QString& relative) const { return m_home.filePath(relative); }

    // Registers the folder through the tree as a user would, answering the questions it asks
    // with `answers`; the recorded messages are cleared afterwards.
    void registerFolder(const QString& folder, const QString& password, const QList<MsgButton>& answers);

    // Every recorded message, for failure output.
    std::string shownTexts() const { return messages.texts().join('|').toStdString(); }

    QTemporaryDir m_home;
    FakePlatform platform;
    RecordingMessageService messages;
    RecordingPromptService prompts;
    std::unique_ptr<MainWindow> frame;
};

// Waits, handling events, until the condition holds or the time (in milliseconds) has passed, and
// gives back whether it holds.
bool WaitFor(const std::function<bool()>& condition, int milliseconds = 10000);
