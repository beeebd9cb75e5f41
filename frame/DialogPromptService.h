#pragma once

#include "util/PromptService.h"

class QWidget;

// The prompts as the window's real dialogs.
class DialogPromptService : public PromptService
{
public:
    explicit DialogPromptService(QWidget* owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget* owner) { m_owner = owner; }

    int BrowseForFolder(const QString& title, const QString& path, const QString& caption,
                        const QString& okText, int mode, QString* chosen) override;

private:
    QWidget* m_owner;
};
