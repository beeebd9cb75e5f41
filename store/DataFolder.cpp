#include "store/DataFolder.h"

#include "platform/Platform.h"
#include "util/ErrorText.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"

#include <QDir>

#include <cerrno>

namespace {

constexpr int DataFolderFailed = 142;

} // namespace

QString DataFolderPath()
{
    return Platform::instance().SpecialFolderPath(SpecialFolder::Config) + QStringLiteral("/kurasoft/KBXcl1");
}

int CreateDataFolder(const QString& dataFolder)
{
    QString error;
    int rc = CreateDirectoryTree(dataFolder, &error);
    if (rc == 0 && DirectoryExists(dataFolder) != 0) {
        // A file of that name stands in the way.
        error = SystemErrorText(ENOTDIR);
        rc = -1;
    }
    if (rc != 0) {
        ShowMessage(MsgA(DataFolderFailed) + error + QStringLiteral("\n( ") +
                        QDir::toNativeSeparators(dataFolder) + QStringLiteral(" )"),
                    MessageStyle::error());
        return -1;
    }
    return 0;
}
