#include "cli/CliFiles.h"

#include "cli/CliLanguage.h"
#include "cli/CliMessageService.h"
#include "util/PathText.h"
#include "util/ResultCodes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

QString AbsolutePath(const QString& operand)
{
    return QDir::cleanPath(QFileInfo(operand).absoluteFilePath());
}

bool SameFile(const QString& first, const QString& second)
{
    struct stat a
    {
    };
    struct stat b
    {
    };
    if (stat(QFile::encodeName(first).constData(), &a) == 0 &&
        stat(QFile::encodeName(second).constData(), &b) == 0) {
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    }
    return AbsolutePath(first) == AbsolutePath(second);
}

int RequireInputFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        ReportError(Tr("%1: no such file", "%1: ファイルがありません").arg(path));
        return Result::Failed;
    }
    if (!info.isFile()) {
        ReportError(Tr("%1: not a file", "%1: ファイルではありません").arg(path));
        return Result::Failed;
    }
    return 0;
}

int RequireFreeOutput(const QString& path, bool force)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        ReportError(Tr("%1: is a folder", "%1: フォルダーです").arg(path));
        return Result::Failed;
    }
    if ((info.exists() || info.isSymLink()) && !force) {
        ReportError(Tr("%1: the file exists; give --force to replace it",
                       "%1: ファイルが既にあります。置き換えるには --force を指定してください")
                        .arg(path));
        return Result::Failed;
    }
    return 0;
}

int OutputPathInFolder(const QString& folder, const QString& name, QString* path)
{
    if (!IsSingleFileName(name)) {
        ReportError(Tr("the stored file name '%1' cannot be used as a file name in %2",
                       "記録されているファイル名 '%1' は %2 の中では使えません")
                        .arg(name, folder));
        return Result::Failed;
    }
    *path = QDir::cleanPath(folder + QLatin1Char('/') + name);
    return 0;
}
