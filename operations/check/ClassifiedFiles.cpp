#include "operations/check/ClassifiedFiles.h"

#include "engine/ContainerCrypt.h"
#include "engine/ContainerFormat.h"
#include "util/ResultCodes.h"
#include "util/TextLists.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

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

ClassifiedEntry ClassifyFile(ContainerCrypt& crypt, const QString& path, const QString& slot)
{
    ClassifiedEntry entry;
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
        entry.kind = ClassifiedEntry::Unreadable; // it could not even be opened
        return entry;
    }
    switch (status) {
    case ContainerReadable:
        entry.kind = ClassifiedEntry::Encrypted;
        entry.name = info.plainName;
        entry.size = info.plainSize;
        entry.modified = info.modificationTime;
        entry.modifiedText = info.modifiedAt;
        entry.encryptedAt = info.encryptionTimeValue;
        entry.encryptedText = info.encryptedAt;
        break;
    case OtherKey:
        entry.kind = ClassifiedEntry::OtherPassword;
        break;
    case NewerFormat:
        entry.kind = ClassifiedEntry::NewerFormat;
        break;
    default:
        entry.kind = looksLikeContainer(crypt, path, entry.storedName) ? ClassifiedEntry::Unreadable
                                                                       : ClassifiedEntry::Plain;
        break;
    }
    return entry;
}

ClassifiedEntry UnclassifiedEntry(ClassifiedEntry::Kind kind, const QString& path, const QString& name)
{
    const QFileInfo info(path);
    ClassifiedEntry entry;
    entry.kind = kind;
    entry.path = path;
    entry.storedName = name;
    entry.name = name;
    entry.size = kind == ClassifiedEntry::Subfolder ? 0 : info.size();
    entry.modified = info.lastModified().toSecsSinceEpoch();
    entry.modifiedText = localText(entry.modified);
    return entry;
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

QStringList DuplicateNames(const QList<ClassifiedEntry>& entries)
{
    QStringList names;
    for (const ClassifiedEntry& entry : entries) {
        if (entry.kind == ClassifiedEntry::Encrypted) {
            names.append(entry.name);
        }
    }
    QStringList repeated = RepeatedTexts(names);
    repeated.removeDuplicates();
    return repeated;
}
