#include "cli/FolderEntries.h"

#include "cli/CliLanguage.h"
#include "cli/CliMessageService.h"
#include "cli/SharedTexts.h"
#include "engine/ContainerCrypt.h"
#include "engine/ContainerFormat.h"
#include "store/metadata/MetadataListing.h"
#include "util/ResultCodes.h"
#include "util/TextLists.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

QString localText(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds).toLocalTime().toString(
        QStringLiteral("yyyy/MM/dd hh:mm:ss"));
}

// A file the engine would not call an encrypted file may still be one that was damaged: it
// bears a generated container name, or its header opens with the program's key alone.
bool looksLikeContainer(ContainerCrypt& crypt, const QString& path, const QString& storedName)
{
    if (ContainerFormat::IsContainerFileName(storedName)) {
        return true;
    }
    ContainerInfo info;
    int status = NotAContainer;
    QString text;
    return crypt.GetContainerStatus(path, CryptEngine::IntrinsicSlotName, &info, false, &status, &text) ==
               0 &&
           status != NotAContainer;
}

} // namespace

QString NameNotTextReason()
{
    return Tr("the name is no valid UTF-8; rename it with a file manager",
              "名前が UTF-8 として読めません。ファイルマネージャーで名前を変更してください");
}

QString KindKeyword(FolderEntry::Kind kind)
{
    switch (kind) {
    case FolderEntry::Subfolder:
        return QStringLiteral("folder");
    case FolderEntry::Encrypted:
        return QStringLiteral("encrypted");
    case FolderEntry::Plain:
        return QStringLiteral("plain");
    case FolderEntry::OtherPassword:
        return QStringLiteral("other-password");
    case FolderEntry::NewerFormat:
        return QStringLiteral("newer-format");
    case FolderEntry::Unreadable:
        return QStringLiteral("unreadable");
    }
    return QString();
}

QString KindWord(FolderEntry::Kind kind)
{
    switch (kind) {
    case FolderEntry::Subfolder:
        return Tr("folder", "フォルダー");
    case FolderEntry::Encrypted:
        return Tr("encrypted", "暗号ファイル");
    case FolderEntry::Plain:
        return Tr("plain file", "平文ファイル");
    case FolderEntry::OtherPassword:
        return Tr("other password", "別のパスワード");
    case FolderEntry::NewerFormat:
        return Tr("newer format", "新しい形式");
    case FolderEntry::Unreadable:
        return Tr("unreadable", "読めない");
    }
    return QString();
}

FolderEntry ClassifyFile(ContainerCrypt& crypt, const QString& path, const QString& slot)
{
    FolderEntry entry;
    const QFileInfo file(path);
    entry.path = path;
    entry.storedName = file.fileName();
    entry.name = entry.storedName;
    entry.size = file.size();
    entry.modified = file.lastModified().toSecsSinceEpoch();
    entry.modifiedText = localText(entry.modified);

    ContainerInfo info;
    int status = NotAContainer;
    QString text;
    if (crypt.GetContainerStatus(path, slot, &info, false, &status, &text) != 0) {
        entry.kind = FolderEntry::Unreadable; // it could not even be opened
        return entry;
    }
    switch (status) {
    case ContainerReadable:
        entry.kind = FolderEntry::Encrypted;
        entry.name = info.plainName;
        entry.size = info.plainSize;
        entry.modified = info.modificationTime;
        entry.modifiedText = info.modifiedAt;
        entry.encryptedAt = info.encryptionTimeValue;
        entry.encryptedText = info.encryptedAt;
        break;
    case OtherKey:
        entry.kind = FolderEntry::OtherPassword;
        break;
    case NewerFormat:
        entry.kind = FolderEntry::NewerFormat;
        break;
    default:
        entry.kind =
            looksLikeContainer(crypt, path, entry.storedName) ? FolderEntry::Unreadable : FolderEntry::Plain;
        break;
    }
    return entry;
}

int ListFolderEntries(ContainerCrypt& crypt, const QString& folder, const QString& slot,
                      QList<FolderEntry>* entries)
{
    entries->clear();
    QList<MetadataListing::Entry> listing;
    if (MetadataListing::ListEntries(folder, &listing) != 0) {
        ReportError(FolderUnreadableText(folder));
        return Result::Failed;
    }
    for (const MetadataListing::Entry& item : listing) {
        const QString path = folder + QLatin1Char('/') + item.name;
        if (item.isFolder) {
            FolderEntry entry;
            entry.kind = FolderEntry::Subfolder;
            entry.path = path;
            entry.storedName = item.name;
            entry.name = item.name;
            entry.modified = QFileInfo(path).lastModified().toSecsSinceEpoch();
            entry.modifiedText = localText(entry.modified);
            entries->append(entry);
        } else if (!item.nameIsText) {
            FolderEntry entry;
            entry.kind = FolderEntry::Unreadable;
            entry.path = path;
            entry.storedName = item.name;
            entry.name = item.name;
            entry.nameIsText = false;
            entries->append(entry);
        } else {
            entries->append(ClassifyFile(crypt, path, slot));
        }
    }
    std::stable_sort(entries->begin(), entries->end(), [](const FolderEntry& a, const FolderEntry& b) {
        const bool aFolder = a.kind == FolderEntry::Subfolder;
        const bool bFolder = b.kind == FolderEntry::Subfolder;
        return aFolder != bFolder ? aFolder : a.name < b.name;
    });
    return 0;
}

QStringList SubfoldersOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                                  QDir::Name);
}

int VisitFolders(const QString& folder, bool recursive, const std::function<int(const QString&)>& visit)
{
    if (visit(folder) != 0) {
        return Result::Failed;
    }
    if (!recursive) {
        return 0;
    }
    for (const QString& name : SubfoldersOf(folder)) {
        if (VisitFolders(folder + QLatin1Char('/') + name, true, visit) != 0) {
            return Result::Failed;
        }
    }
    return 0;
}

QStringList DuplicateNames(const QList<FolderEntry>& entries)
{
    QStringList names;
    for (const FolderEntry& entry : entries) {
        if (entry.kind == FolderEntry::Encrypted) {
            names.append(entry.name);
        }
    }
    QStringList repeated = RepeatedTexts(names);
    repeated.removeDuplicates();
    return repeated;
}

QString RelativeTo(const QString& top, const QString& path)
{
    return QDir(top).relativeFilePath(path);
}
