#include "app/KuraboxApplication.h"

#include "app/QtJapanese.h"
#include "frame/DialogPromptService.h"
#include "frame/MainWindow.h"
#include "frame/MessageBoxService.h"
#include "platform/Platform.h"
#include "store/datafiles/DataFolder.h"
#include "store/settings/SettingsFile.h"
#include "util/FileQueries.h"
#include "util/StringTable.h"

#include <QIcon>

namespace {

constexpr unsigned ProductNameString = 57344;
constexpr unsigned FixedDiskOnlyString = 64009;

// The theme's icon when the desktop has one installed, else the program's own pictures.
QIcon ProgramIcon()
{
    QIcon own;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        own.addFile(QStringLiteral(":/kurabox/icons/%1/kurabox.png").arg(size), QSize(size, size));
    }
    return QIcon::fromTheme(QStringLiteral("kurabox"), own);
}

} // namespace

KuraboxApplication::KuraboxApplication(int& argc, char** argv)
    : QApplication(argc, argv), m_instance(SingleInstance::WindowLockName),
      m_messages(std::make_unique<MessageBoxService>()), m_prompts(std::make_unique<DialogPromptService>())
{
    InstallQtJapanese(*this);
    setApplicationName(LoadText(ProductNameString));
    setApplicationVersion(QStringLiteral(KURABOX_VERSION));
    setDesktopFileName(QStringLiteral("kurabox"));
    setWindowIcon(ProgramIcon());
    MessageService::install(m_messages.get());
    PromptService::install(m_prompts.get());
}

KuraboxApplication::~KuraboxApplication()
{
    m_frame.reset();
    MessageService::install(nullptr);
    PromptService::install(nullptr);
}

bool KuraboxApplication::IsRegistrationSwitch(const QString& argument)
{
    static const QStringList switches = {QStringLiteral("embedding"), QStringLiteral("automation"),
                                         QStringLiteral("regserver"), QStringLiteral("unregserver"),
                                         QStringLiteral("register"),  QStringLiteral("unregister")};
    QString word = argument;
    while (word.startsWith(QLatin1Char('/')) || word.startsWith(QLatin1Char('-'))) {
        word.remove(0, 1);
    }
    return switches.contains(word.toLower());
}

int KuraboxApplication::InitInstance()
{
    const QString product = LoadText(ProductNameString);
    if (!m_instance.acquire()) {
        ShowMessage(product + QStringLiteral("は、既に起動しています　"),
                    {MsgIcon::None, MsgButtons::Ok, MsgButton::Ok});
        return 0;
    }
    int driveType = 0;
    if (DriveType(applicationDirPath(), &driveType) == 0 && driveType != DriveFixed) {
        ShowMessage(LoadText(FixedDiskOnlyString), MessageStyle::error());
        return 0;
    }

    // The last window state decides how the window opens; the record is read again, in full,
    // by the window itself.
    bool maximised = false;
    {
        SettingsRecord last;
        if (SettingsFileExists(DataFolderPath()) == 0 && LoadSettings(last, DataFolderPath()) == 0) {
            maximised = last.SizeMfMax == 1;
        }
    }

    m_frame = std::make_unique<MainWindow>();
    if (!m_frame->isCreated()) {
        return 0;
    }
    m_messages->setOwner(m_frame.get());
    m_prompts->setOwner(m_frame.get());
    m_prompts->setStore(&m_frame->store());
    m_frame->setWindowTitle(product);
    if (maximised) {
        m_frame->showMaximized();
    } else {
        m_frame->show();
    }
    return m_frame->StartUpWork() == 0 ? 1 : 0;
}
