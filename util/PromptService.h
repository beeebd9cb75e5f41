#pragma once

#include <QString>

// Questions that need a dialog rather than a message box. Operations ask through the installed
// PromptService: the window shows its real dialogs, tests answer from a script. Without one,
// every prompt is cancelled.
class PromptService
{
public:
    virtual ~PromptService();

    // A folder chooser. Mode 2 offers no way to make a new folder. The initial selection is
    // path; caption and okText replace the window title and the OK button text when not empty.
    // 0 with the chosen folder, -1 when cancelled.
    virtual int BrowseForFolder(const QString& title, const QString& path, const QString& caption,
                                const QString& okText, int mode, QString* chosen);

    // The process-wide service; nullptr restores the one that cancels.
    static void install(PromptService* service);
    static PromptService& instance();
};
