#include "store/checks/DecryptedCopyGuard.h"

#include "store/checks/ContainerChecks.h"
#include "store/checks/ItemComparison.h"
#include "store/checks/OpenFileChecks.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/EntryRecord.h"
#include "store/metadata/FolderMetadata.h"
#include "store/metadata/MetadataLocation.h"
#include "store/working/WorkingCopyPaths.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PathText.h"
#include "util/ResultCodes.h"

#include <QDir>

namespace {

int refuse(const QString& text)
{
    ShowMessage(text, MessageStyle::warning());
    return Result::Failed;
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
            return Result::Failed;
        }
        QString offending;
        if (DirectoryExists(copy) == 0 &&
            CheckTreeCollisions(m_checks, item, copy, 1, 0, key, &offending) != 0) {
            m_checks.DisplayNameOf(item, key, &name);
            return refuse(MsgA(295) + name + MsgA(296));
        }
        return 0;
    }
    if (FileExists(item) != 0) {
        return refuse(MsgA(299) + QDir::toNativeSeparators(item));
    }
    if (WorkingCopyExists(item) == 0) {
        m_checks.DisplayNameOf(item, key, &name);
        return refuse(MsgA(297) + name + MsgA(298));
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
