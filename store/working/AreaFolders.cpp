#include "store/working/AreaFolders.h"

#include "util/ErrorText.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/MainWindowServices.h"
#include "util/MessageText.h"
#include "util/PrivatePermissions.h"
#include "util/ResultCodes.h"
#include "util/WipeDelete.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

int failWithSystemText(QString* errorText, int error)
{
    if (errorText) {
        *errorText = SystemErrorText(error);
    }
    return Result::Failed;
}

} // namespace

int CreatePrivateFolderTree(const QString& path, QString* errorText)
{
    if (path.isEmpty()) {
        return failWithSystemText(errorText, ENOENT);
    }
    // Made private from the start: no moment in which others could enter.
    return CreateDirectoryTree(path, errorText, PrivateFolderMode);
}

int WipeArea(const QString& path, bool removeFolders, QString* errorText)
{
    if (path.isEmpty()) {
        return 0;
    }
    struct stat st;
    if (::lstat(native(path).constData(), &st) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? 0 : failWithSystemText(errorText, errno);
    }
    // A link in place of an area would lead the wipe into the user's own files.
    if (S_ISLNK(st.st_mode)) {
        return ::unlink(native(path).constData()) == 0 || errno == ENOENT
                   ? 0
                   : failWithSystemText(errorText, errno);
    }
    return WipeDelete(path, removeFolders, errorText);
}

int WipeWithBusyText(const QString& path, bool removeFolders, QString* errorText)
{
    MainWindowServices& services = MainWindowServices::instance();
    services.SetBusyText(MsgA(636));
    const int rc = WipeArea(path, removeFolders, errorText);
    services.ClearBusyText();
    return rc;
}

bool IsStoreFolderIn(const QString& workingFolder, const QString& storeFolder)
{
    if (!QDir::isAbsolutePath(workingFolder) || workingFolder.endsWith(QLatin1Char('/')) ||
        !storeFolder.startsWith(workingFolder + QLatin1Char('/'))) {
        return false;
    }
    const QString name = storeFolder.mid(workingFolder.size() + 1);
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".") &&
           name != QLatin1String("..");
}
