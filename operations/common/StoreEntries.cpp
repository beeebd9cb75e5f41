#include "operations/common/StoreEntries.h"

#include "engine/ContainerCrypt.h"
#include "util/ErrorText.h"
#include "util/MessageService.h"
#include "util/ResultCodes.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

bool ExistsAsEntry(const QString& path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

void ShowError(const QString& text)
{
    ShowMessage(text, MessageStyle::error());
}

int CopyContainer(const QString& source, const QString& target, QString* error)
{
    const QString partial = ContainerCrypt::PartialPathFor(target);
    QFile::remove(partial);
    QFile in(source);
    if (!in.copy(partial)) {
        *error = in.errorString();
        QFile::remove(partial);
        return Result::Failed;
    }
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(target).constData()) != 0) {
        *error = ErrnoText(errno);
        QFile::remove(partial);
        return Result::Failed;
    }
    return Result::Ok;
}

bool HasEntriesLeft(const QString& folder)
{
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (!it.fileInfo().isDir() || it.fileInfo().isSymLink()) {
            return true;
        }
    }
    return false;
}

bool RefuseNameNotText(const QString& folder)
{
    const QString found = FindNameNotText(folder);
    if (found.isEmpty()) {
        return false;
    }
    ShowMessage(QDir::toNativeSeparators(found) +
                    QStringLiteral("\n\nこの項目の名前は文字として読めないため、これを含むフォルダーは"
                                   "操作できません。ファイルマネージャーで名前を変更してください。\n\n") +
                    ErrnoText(EILSEQ),
                MessageStyle::warning());
    return true;
}
