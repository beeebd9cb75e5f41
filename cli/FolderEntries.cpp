#include "cli/FolderEntries.h"

#include "cli/CliLanguage.h"
#include "cli/CliMessageService.h"
#include "cli/SharedTexts.h"
#include "store/metadata/MetadataListing.h"
#include "util/ResultCodes.h"

#include <QDir>

#include <algorithm>

QString NameNotTextReason()
{
    return Tr("the name is no valid UTF-8; rename it with a file manager",
              "名前が UTF-8 として読めません。ファイルマネージャーで名前を変更してください");
}

QString KindKeyword(ClassifiedEntry::Kind kind)
{
    switch (kind) {
    case ClassifiedEntry::Subfolder:
        return QStringLiteral("folder");
    case ClassifiedEntry::Encrypted:
        return QStringLiteral("encrypted");
    case ClassifiedEntry::Plain:
        return QStringLiteral("plain");
    case ClassifiedEntry::OtherPassword:
        return QStringLiteral("other-password");
    case ClassifiedEntry::NewerFormat:
        return QStringLiteral("newer-format");
    case ClassifiedEntry::Unreadable:
        return QStringLiteral("unreadable");
    case ClassifiedEntry::Partial:
        return QStringLiteral("partial");
    }
    return QString();
}

QString KindWord(ClassifiedEntry::Kind kind)
{
    switch (kind) {
    case ClassifiedEntry::Subfolder:
        return Tr("folder", "フォルダー");
    case ClassifiedEntry::Encrypted:
        return Tr("encrypted", "暗号ファイル");
    case ClassifiedEntry::Plain:
        return Tr("plain file", "平文ファイル");
    case ClassifiedEntry::OtherPassword:
        return Tr("other password", "別のパスワード");
    case ClassifiedEntry::NewerFormat:
        return Tr("newer format", "新しい形式");
    case ClassifiedEntry::Unreadable:
        return Tr("unreadable", "読めない");
    case ClassifiedEntry::Partial:
        return Tr("partial file", "書きかけのファイル");
    }
    return QString();
}

int ListFolderEntries(ContainerCrypt& crypt, const QString& folder, const QString& slot,
                      QList<ClassifiedEntry>* entries)
{
    entries->clear();
    QList<MetadataListing::Entry> listing;
    QList<MetadataListing::LeftOut> leftOut;
    if (MetadataListing::ListEntries(folder, &listing, &leftOut) != 0) {
        ReportError(FolderUnreadableText(folder));
        return Result::Failed;
    }
    for (const MetadataListing::Entry& item : listing) {
        const QString path = folder + QLatin1Char('/') + item.name;
        if (item.isFolder) {
            entries->append(UnclassifiedEntry(ClassifiedEntry::Subfolder, path, item.name));
        } else if (!item.nameIsText) {
            ClassifiedEntry entry;
            entry.kind = ClassifiedEntry::Unreadable;
            entry.path = path;
            entry.storedName = item.name;
            entry.name = item.name;
            entry.nameIsText = false;
            entries->append(entry);
        } else {
            entries->append(ClassifyFile(crypt, path, slot));
        }
    }
    // Partial files are listed (their write may have been killed); what is no file is not.
    for (const MetadataListing::LeftOut& item : std::as_const(leftOut)) {
        if (item.partial) {
            entries->append(UnclassifiedEntry(ClassifiedEntry::Partial, folder + QLatin1Char('/') + item.name,
                                              item.name));
        }
    }
    std::stable_sort(entries->begin(), entries->end(),
                     [](const ClassifiedEntry& a, const ClassifiedEntry& b) {
                         const bool aFolder = a.kind == ClassifiedEntry::Subfolder;
                         const bool bFolder = b.kind == ClassifiedEntry::Subfolder;
                         return aFolder != bFolder ? aFolder : a.name < b.name;
                     });
    return 0;
}

QString RelativeTo(const QString& top, const QString& path)
{
    return QDir(top).relativeFilePath(path);
}
