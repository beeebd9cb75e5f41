#include "operations/encrypt/EncryptPlainFiles.h"

#include "operations/encrypt/EncryptFilesIn.h"
#include "store/StoreContext.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/FolderMetadata.h"
#include "store/working/WorkingCopyPaths.h"
#include "util/FileChanges.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"

#include <QFileInfo>

int EncryptPlainFiles(StoreContext& store, const QString& folder, const QStringList& files)
{
    RegisteredFolderTable& table = store.folders();
    if (table.IsReadOnlyFolder(folder, 1) != 0) {
        return Result::Failed;
    }
    if (ShowMessage(MsgA(115), MessageStyle::question()) != MsgButton::Yes) {
        return Result::Failed;
    }
    const QString root = table.FindRegisteredRoot(folder, 0);
    for (const QString& file : files) {
        const QString name = QFileInfo(file).fileName();
        int inUse = 0;
        if (store.metadata().IsNameInUse(folder, name, 1, root, &inUse) != 0) {
            if (inUse == 1) {
                ShowMessage(MsgA(116) + QStringLiteral("' ") + name, MessageStyle::warning());
            }
            return Result::Failed;
        }
    }
    const QString aside = store.copyPaths().WorkingCopyPathOf(folder);
    QString error;
    if (aside.isEmpty() || (!QFileInfo(aside).isDir() && CreateDirectoryTree(aside, &error, 0700) != 0)) {
        ShowMessage(MsgA(117) + error + QStringLiteral("\n\n") + aside, MessageStyle::error());
        return Result::Failed;
    }
    EncryptFilesIn encryptIn(store);
    for (const QString& file : files) {
        const QString moved = aside + QLatin1Char('/') + QFileInfo(file).fileName();
        if (MovePath(file, moved, &error) != 0) {
            ShowMessage(MsgA(118) + file, MessageStyle::error());
            return Result::Failed;
        }
        if (encryptIn.Run(EncryptFilesIn::Move, folder, {moved}) != 0 || encryptIn.stopped()) {
            if (QFileInfo::exists(moved)) {
                MovePath(moved, file);
            }
            return Result::Failed;
        }
    }
    ShowMessage(MsgA(119), MessageStyle::information());
    return Result::Ok;
}
