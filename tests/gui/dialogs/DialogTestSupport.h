#pragma once

#include "engine/CryptEngine.h"
#include "store/catalogue/EngineStartup.h"
#include "store/catalogue/MessageCatalogue.h"
#include "support/RecordingMessageService.h"
#include "util/MessageText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

// Runs `act` on the first modal window that opens.
inline void whenDialogOpens(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(20, [act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            act(modal);
        } else {
            whenDialogOpens(act);
        }
    });
}

// Runs `act` on the first modal window of the kind T that opens (one already open of another
// kind is passed over).
template <typename T>
void whenDialogOfKindOpens(std::function<void(T*)> act)
{
    QTimer::singleShot(20, [act] {
        if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget())) {
            act(modal);
        } else {
            whenDialogOfKindOpens<T>(act);
        }
    });
}

// Clicks the named button of the first modal window that opens.
inline void clickWhenOpen(const QString& buttonName)
{
    whenDialogOpens([buttonName](QWidget* w) {
        auto* button = w->findChild<QAbstractButton*>(buttonName);
        ASSERT_NE(button, nullptr) << buttonName.toStdString();
        button->click();
    });
}

// Dialog tests run with the real catalogues and record message boxes.
class DialogTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(StartEngine(CryptEngine::instance(), m_catalogue), 0); }

    RecordingMessageService messages;

private:
    MessageCatalogue m_catalogue{CryptEngine::instance()};
};
