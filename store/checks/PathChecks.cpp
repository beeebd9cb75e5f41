#include "store/checks/PathChecks.h"

#include "platform/Platform.h"
#include "store/checks/ContainerChecks.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PathText.h"
#include "util/ResultCodes.h"

#include <QDir>

namespace {

constexpr int NoSuchDrive = 278;
constexpr int MediumMissing = 279;
constexpr int FolderMissing = 280;
constexpr int TargetIsFolder = 312;
constexpr int TargetHoldsFolder = 313;
constexpr int TargetInsideFolder = 314;
constexpr int TargetHoldsFile = 315;

bool isRemovableMedium(int driveType)
{
    return driveType == DriveRemovable || driveType == DriveOptical;
}

} // namespace

int CheckFolderReachable(const QString& folder, const RegisteredFolderTable* table)
{
    if (DirectoryExists(folder) == 0) {
        return 0;
    }
    int message = FolderMissing;
    int recorded = 0;
    MountInfo mount;
    if (table && table->RegisteredDriveTypeOf(folder, &recorded) == 0 && isRemovableMedium(recorded)) {
        message = MediumMissing;
    } else if (!QDir::isAbsolutePath(folder) || !Platform::instance().MountOf(folder, &mount)) {
        message = NoSuchDrive;
    } else if (isRemovableMedium(Platform::instance().DriveTypeOf(folder))) {
        message = MediumMissing;
    }
    ShowMessage(MsgA(message) + QDir::toNativeSeparators(folder), MessageStyle::warning());
    return Result::Failed;
}

int IsValidItemName(const QString& name)
{
    static const QString forbidden = QStringLiteral("*?\"|<>\\/:");
    for (const QChar c : forbidden) {
        if (name.contains(c)) {
            ShowMessage(MsgA(290), MessageStyle::warning());
            return Result::Failed;
        }
    }
    return 0;
}

int CheckCopyMoveTarget(const QString& source, const QString& target, bool move, bool sourceIsFolder,
                        ContainerChecks& checks, const RegisteredFolderTable& table)
{
    const QString verb = move ? QStringLiteral("移動") : QStringLiteral("コピー");
    int message = 0;
    QString name;
    if (sourceIsFolder) {
        int kind = PathsUnrelated;
        PathRelation(source, target, &kind);
        switch (kind) {
        case PathsSame:
            message = TargetIsFolder;
            break;
        case TargetHoldsSource:
            message = TargetHoldsFolder;
            break;
        case TargetInsideSource:
            message = TargetInsideFolder;
            break;
        default:
            return 0;
        }
        name = FileNamePart(source);
    } else {
        int kind = PathsUnrelated;
        PathRelation(DirectoryPart(source), target, &kind);
        if (kind != PathsSame) {
            return 0;
        }
        message = TargetHoldsFile;
        checks.DisplayNameOf(source, table.FindRegisteredRoot(source, 0), &name);
    }
    ShowMessage(name + QStringLiteral(" を") + verb + MsgA(message), MessageStyle::error());
    return Result::Failed;
}
