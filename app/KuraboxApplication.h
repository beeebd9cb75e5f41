#pragma once

#include "platform/SingleInstance.h"

#include <QApplication>

#include <memory>

class MainWindow;
class DialogPromptService;
class MessageBoxService;

// The application: refuses a second copy and a start from anything but a fixed local disk,
// creates the main window (which loads the store) and shows it as it was last left.
class KuraboxApplication : public QApplication
{
    Q_OBJECT

public:
    KuraboxApplication(int& argc, char** argv);
    ~KuraboxApplication() override;

    // 0 when the program must end at once; otherwise the window is up and the event loop runs.
    int InitInstance();

    MainWindow* mainFrame() const { return m_frame.get(); }

    // Switches of the original component registration; accepted and ignored.
    static bool IsRegistrationSwitch(const QString& argument);

private:
    SingleInstance m_instance;
    std::unique_ptr<MessageBoxService> m_messages;
    std::unique_ptr<DialogPromptService> m_prompts;
    std::unique_ptr<MainWindow> m_frame;
};
