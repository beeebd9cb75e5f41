#include "engine/CryptEngine.h"
#include "frame/CMainFrame.h"
#include "frame/DialogPromptService.h"
#include "frame/MessageBoxService.h"
#include "store/EngineStartup.h"
#include "store/MessageCatalogue.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kurabox"));

    MessageBoxService messages;
    MessageService::install(&messages);
    DialogPromptService prompts;
    PromptService::install(&prompts);

    // Keys and message texts come first: nothing can be shown or read without them.
    CryptEngine& engine = CryptEngine::instance();
    MessageCatalogue catalogue(engine);
    if (StartEngine(engine, catalogue) != 0) {
        MessageService::install(nullptr);
        return 1;
    }

    CMainFrame frame;
    messages.setOwner(&frame);
    prompts.setOwner(&frame);
    frame.show();
    const int rc = app.exec();
    MessageService::install(nullptr);
    PromptService::install(nullptr);
    return rc;
}
