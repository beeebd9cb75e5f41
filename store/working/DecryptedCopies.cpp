#include "store/working/DecryptedCopies.h"

#include "store/datafiles/RegisteredFolderTable.h"
#include "store/working/AreaFolders.h"
#include "store/working/WorkingAreaNames.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"
#include "util/TimeText.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

constexpr auto Everything = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

bool holdsFiles(const QString& area)
{
    if (DirectoryExists(area) != 0) {
        return false;
    }
    QDirIterator it(area, QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    return it.hasNext();
}

bool entryExists(const QString& path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// Gives the area and everything below it back its write permission, so that nothing in it
// resists removal. Links are left alone: their targets are not ours.
int makeWritable(const QString& area)
{
    if (QFileInfo(area).isSymLink()) {
        return 0;
    }
    if (SetAttributeBits(area, FileAttribute::ReadOnly, true) != 0) {
        return Result::Failed;
    }
    QDirIterator it(area, Everything, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry = it.nextFileInfo();
        if (!entry.isSymLink() && SetAttributeBits(entry.filePath(), FileAttribute::ReadOnly, true) != 0) {
            return Result::Failed;
        }
    }
    return 0;
}

} // namespace

DecryptedCopies::DecryptedCopies(const RegisteredFolderTable& table, std::function<QString()> workingFolder,
                                 RecordedTime recordedTime)
    : m_table(table), m_workingFolder(std::move(workingFolder)), m_recordedTime(std::move(recordedTime))
{
}

QString DecryptedCopies::WorkingCopyArea(const QString& root, int warn) const
{
    const QString store = m_table.StoreFolderOf(root, warn);
    if (!IsStoreFolderIn(m_workingFolder ? m_workingFolder() : QString(), store)) {
        return {};
    }
    return store + QLatin1Char('/') + WorkingArea::WorkingCopies;
}

int DecryptedCopies::HasDecryptedFiles(const QString& root) const
{
    const QString area = WorkingCopyArea(root, 1);
    return !area.isEmpty() && holdsFiles(area) ? -1 : 0;
}

int DecryptedCopies::ListFoldersWithDecryptedFiles(QString* list, QStringList* roots) const
{
    list->clear();
    if (roots) {
        roots->clear();
    }
    for (int i = 0; i < RegisteredFolderTable::MaxFolders; ++i) {
        const QString& root = m_table.slot(i).rootPath;
        if (root.isEmpty() || HasDecryptedFiles(root) == 0) {
            continue;
        }
        *list += shown(root) + QStringLiteral("\r\n");
        if (roots) {
            roots->append(root);
        }
    }
    return list->isEmpty() ? 0 : -1;
}

int DecryptedCopies::ClearDecryptedFiles(const QString& root, int mode) const
{
    const bool report = mode != Silent;
    const QString area = WorkingCopyArea(root, report ? 1 : 0);
    if (area.isEmpty() || !entryExists(area)) {
        return 0;
    }
    if (makeWritable(area) != 0) {
        if (report) {
            ShowMessage(MsgA(317), MessageStyle::warning());
        }
        return Result::Failed;
    }
    QString error;
    if (WipeArea(area, true, &error) != 0) {
        if (report) {
            ShowMessage(MsgA(318) + error + QLatin1Char('\n') + shown(area), MessageStyle::error());
        }
        return Result::Failed;
    }
    return 0;
}

int DecryptedCopies::DiscardDecryptedFiles(const QString& root, int mode) const
{
    const bool report = mode != Silent;
    const QString area = WorkingCopyArea(root, report ? 1 : 0);
    if (area.isEmpty() || !holdsFiles(area)) {
        return 0;
    }
    if (m_table.IsReadOnlyFolder(root, 0) != 0) {
        if (mode == AnnounceLoss) {
            ShowMessage(MsgA(319) + shown(root), MessageStyle::warning());
        } else if (mode == WarnIfChanged && anyCopyChanged(area)) {
            ShowMessage(MsgA(320) + shown(root), MessageStyle::warning());
        }
    }
    if (ClearDecryptedFiles(root, mode) != 0) {
        if (report) {
            ShowMessage(MsgA(321) + shown(root), MessageStyle::error());
        }
        return Result::Failed;
    }
    return 0;
}

bool DecryptedCopies::anyCopyChanged(const QString& area) const
{
    if (!m_recordedTime) {
        return true;
    }
    QStringList copies;
    ListFilesRecursive(area, &copies);
    for (const QString& copy : copies) {
        QDateTime recorded;
        QDateTime modified;
        if (m_recordedTime(copy, &recorded) != 0 || !recorded.isValid() ||
            FileTimeText(copy, FileTimeKind::LastWrite, nullptr, &modified) != 0 ||
            modified.toSecsSinceEpoch() != recorded.toSecsSinceEpoch()) {
            return true;
        }
    }
    return false;
}
