#include "store/working/WorkingFolderLocation.h"

#include "platform/Platform.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PromptService.h"
#include "util/ResultCodes.h"

#include <QDir>

namespace {

constexpr int MountPointRefused = 328;
constexpr int NotFixedDiskRefused = 329;
constexpr int BrowserDefaultMode = 0;

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

int refuse(int message, const QString& path)
{
    ShowMessage(MsgA(message) + shown(path), MessageStyle::warning());
    return WorkingFolderRefused;
}

} // namespace

QString DefaultWorkingFolder()
{
    return Platform::instance().SpecialFolderPath(SpecialFolder::Data) + QStringLiteral("/KBX-c1");
}

QString SuggestedWorkingFolder()
{
    return Platform::instance().SpecialFolderPath(SpecialFolder::Home) + QStringLiteral("/KbxTemp");
}

int CheckWorkingFolderLocation(const QString& path)
{
    if (path.isEmpty() || ClassifyPath(path) == 1) {
        return refuse(MountPointRefused, path);
    }
    int driveType = 0;
    if (DriveType(path, &driveType) == 0 && driveType != DriveFixed) {
        return refuse(NotFixedDiskRefused, path);
    }
    QString fileSystem;
    quint32 flags = 0;
    if (VolumeFileSystem(path, &fileSystem, &flags) == 0 &&
        (fileSystem == QLatin1String("FAT") || fileSystem == QLatin1String("FAT32"))) {
        const MsgButton answer = ShowMessage(MsgA(330) + shown(path), MessageStyle::question());
        return answer == MsgButton::Yes ? 0 : WorkingFolderRefused;
    }
    return 0;
}

int WorkingFolderInUse(const RegisteredFolderTable& table, const QString& current, QString* list)
{
    list->clear();
    if (current.isEmpty() || DirectoryExists(current) != 0) {
        return 0;
    }
    const QStringList subfolders =
        QDir(current).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : subfolders) {
        for (int i = 0; i < RegisteredFolderTable::MaxFolders; ++i) {
            const RegisteredFolderTable::Slot& slot = table.slot(i);
            if (!slot.rootPath.isEmpty() && slot.storeName == name) {
                *list += shown(slot.rootPath) + QLatin1Char('\n');
            }
        }
    }
    return list->isEmpty() ? 0 : -1;
}

int ChooseWorkingFolder(const RegisteredFolderTable& table, const QString& current, QString* chosen)
{
    QString list;
    if (WorkingFolderInUse(table, current, &list) != 0) {
        ShowMessage(MsgA(326) + list, MessageStyle::warning());
        return Result::Failed;
    }
    QString folder;
    if (PromptService::instance().BrowseForFolder(MsgA(327), current, QStringLiteral("作業用フォルダー指定"),
                                                  QString(), BrowserDefaultMode, &folder) != 0) {
        return Result::Failed;
    }
    if (const int rc = CheckWorkingFolderLocation(folder)) {
        return rc;
    }
    *chosen = folder;
    return 0;
}
