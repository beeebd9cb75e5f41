#include "store/DecryptedCopyGuard.h"

#include "store/ContainerChecks.h"
#include "store/EntryRecord.h"
#include "store/FolderMetadata.h"
#include "store/ItemComparison.h"
#include "store/MetadataLocation.h"
#include "store/OpenFileChecks.h"
#include "store/RegisteredFolderTable.h"
#include "store/WorkingCopyPaths.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PathText.h"

#include <QDir>

namespace {

constexpr int FolderHasCopyBefore = 295;
constexpr int FolderHasCopyAfter = 296;
constexpr int FileHasCopyBefore = 297;
constexpr int FileHasCopyAfter = 298;
constexpr int FileMissing = 299;

int refuse(const QString& text)
{
    ShowMessage(text, MessageStyle::warning());
    return -1;
}

} // namespace

DecryptedCopyGuard::DecryptedCopyGuard(const RegisteredFolderTable& table, FolderMetadata& metadata,
                                       ContainerChecks& checks, const WorkingCopyPaths& paths)
    : m_table(table), m_metadata(metadata), m_checks(checks), m_paths(paths)
{
}

int DecryptedCopyGuard::WorkingCopyExists(const QString& item) const
{
    const QString copy = m_paths.WorkingCopyPathOf(item);
    return !MetadataLocation::IsNoLocation(copy) && FileExists(copy) == 0 ? 0 : -1;
}

int DecryptedCopyGuard::IsWorkingCopyOpen(const QString& item) const
{
    const QString copy = m_paths.WorkingCopyPathOf(item);
    return MetadataLocation::IsNoLocation(copy) ? 0 : IsOpenElsewhere(copy);
}

int DecryptedCopyGuard::RefuseIfDecryptedCopy(const QString& item, const QString& key) const
{
    QString name;
    if (DirectoryExists(item) == 0) {
        const QString copy = m_paths.WorkingCopyPathOf(item);
        if (MetadataLocation::IsNoLocation(copy)) {
            return -1;
        }
        QString offending;
        if (DirectoryExists(copy) == 0 &&
            CheckTreeCollisions(m_checks, item, copy, 1, 0, key, &offending) != 0) {
            m_checks.DisplayNameOf(item, key, &name);
            return refuse(MsgA(FolderHasCopyBefore) + name + MsgA(FolderHasCopyAfter));
        }
        return 0;
    }
    if (FileExists(item) != 0) {
        return refuse(MsgA(FileMissing) + QDir::toNativeSeparators(item));
    }
    if (WorkingCopyExists(item) == 0) {
        m_checks.DisplayNameOf(item, key, &name);
        return refuse(MsgA(FileHasCopyBefore) + name + MsgA(FileHasCopyAfter));
    }
    return 0;
}

int DecryptedCopyGuard::RefuseIfEntryDecrypted(const QString& path, const QString& key) const
{
    const QString folder = DirectoryPart(path);
    const QString root = m_table.FindRegisteredRoot(folder, 0);
    if (root.isEmpty()) {
        return 0;
    }
    QString file;
    int kind = EntryRecord::PlainFile;
    if (m_metadata.ResolveDisplayName(folder, FileNamePart(path), root, &file, &kind) != 0 ||
        kind != EntryRecord::EncryptedFile) {
        return 0;
    }
    return RefuseIfDecryptedCopy(file, key);
}
