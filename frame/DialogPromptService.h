#pragma once

#include "util/PromptService.h"

class QWidget;

// The prompts as the window's real dialogs, owned by the main window.
class DialogPromptService : public PromptService
{
public:
    explicit DialogPromptService(QWidget* owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget* owner) { m_owner = owner; }

    int BrowseForFolder(const QString& title, const QString& path, const QString& caption,
                        const QString& okText, int mode, QString* chosen) override;
    // CD05ReWriteCheck for files, CD06ReWriteCheck2 for folders.
    OverwriteAnswer AskOverwrite(const OverwriteQuestion& question) override;
    // CD13Msg1 with the information icon.
    int ShowNotice(const NoticeQuestion& question, bool* dontShowAgain) override;
    // The password questions are answered by the password dialogs once the window has them;
    // until then they are cancelled as by the base service.

private:
    QWidget* m_owner;
};
