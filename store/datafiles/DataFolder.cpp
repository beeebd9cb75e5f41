#include "store/datafiles/DataFolder.h"

#include "platform/Platform.h"
#include "store/working/AreaFolders.h"
#include "util/ErrorText.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PrivatePermissions.h"
#include "util/ResultCodes.h"

#include <QDir>

#include <cerrno>

QString DataFolderPath()
{
    return Platform::instance().SpecialFolderPath(SpecialFolder::Config) + QStringLiteral("/kurasoft/KBXcl1");
}

int CreateDataFolder(const QString& dataFolder)
{
    QString error;
    int rc = CreatePrivateFolderTree(dataFolder, &error);
    if (rc == 0 && DirectoryExists(dataFolder) != 0) {
        // A file of that name stands in the way.
        error = SystemErrorText(ENOTDIR);
        rc = -1;
    }
    if (rc != 0) {
        ShowMessage(MsgA(142) + error + QStringLiteral("\n( ") + QDir::toNativeSeparators(dataFolder) +
                        QStringLiteral(" )"),
                    MessageStyle::error());
        return Result::Failed;
    }
    // A folder made by an older version, before it was private: what it holds stays out of
    // others' reach even before each file's next save.
    TightenPermissions(dataFolder, PrivateFolderMode);
    return 0;
}
