#pragma once

#include "util/MessageService.h"

class QWidget;

// Message boxes owned by the main window, with the product caption and the icon and
// buttons of the style.
class MessageBoxService : public MessageService
{
public:
    explicit MessageBoxService(QWidget* owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget* owner) { m_owner = owner; }

    MsgButton ShowMessage(const QString& text, const MessageStyle& style) override;

private:
    QWidget* m_owner;
};
