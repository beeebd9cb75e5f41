#include "operations/tools/PlainFileCheck.h"

#include "engine/CryptEngine.h"
#include "operations/tools/FolderProblems.h"
#include "platform/Platform.h"
#include "store/StoreContext.h"
#include "store/checks/FolderAccessCheck.h"
#include "util/FileQueries.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"

#include <QDir>

int CheckFolderForPlainFiles(StoreContext& store, const QString& root, bool* duplicates)
{
    *duplicates = false;
    if (root.isEmpty() || store.engine().IsKeySlotSet(root) != Result::Ok) {
        return Result::Failed;
    }
    if (ShowMessage(MsgA(195) + QDir::toNativeSeparators(root), MessageStyle::question()) != MsgButton::Yes) {
        return Result::Cancelled;
    }
    MainWindowServices& services = MainWindowServices::instance();
    BusyScope busy;
    services.SetBusyText(MsgA(196));
    FolderProblemReport report;
    const int scanned = ScanFolderForProblems(store, root, false, false, &report);
    *duplicates = report.duplicates;
    if (scanned != Result::Ok) {
        services.ClearBusyText();
        return Result::Failed;
    }
    // An optical disc cannot hold files another program keeps to itself.
    int driveType = DriveUnknown;
    if (DriveType(root, &driveType) != Result::Ok || driveType != DriveOptical) {
        services.SetBusyText(MsgA(199));
        QString refusal;
        if (CheckFolderAccess(root, 1, &refusal) != Result::Ok) {
            services.ClearBusyText();
            return Result::Failed;
        }
    }
    services.ClearBusyText();
    ShowMessage(MsgA(200), MessageStyle::information());
    return Result::Ok;
}
