#include "operations/check/FolderCheckRun.h"

#include "engine/ContainerFormat.h"
#include "store/metadata/MetadataListing.h"
#include "util/PathText.h"
#include "util/ResultCodes.h"

#include <QFileInfo>
#include <QHash>

FolderCheckRun::FolderCheckRun(const QString& top, bool recursive, const KeySlot& key, int jobs)
    : m_top(top), m_recursive(recursive), m_check(key, jobs)
{
}

int FolderCheckRun::Run(const std::function<bool()>& stop, const std::function<void()>& tick)
{
    if (collect() != 0) {
        return Result::Failed;
    }
    QList<FolderCheck::FileResult> results;
    if (m_check.Run(m_files, stop, tick, &results, &m_setUpFault) != 0) {
        return Result::Failed;
    }
    evaluate(results);
    return 0;
}

// Every file to check in the folders, in folder order; apart those whose names are no valid
// UTF-8 (they cannot be opened by name) and what the listing leaves out but a check must name.
int FolderCheckRun::collect()
{
    qint64 bytes = 0;
    const int listed = VisitFolders(m_top, m_recursive, [&](const QString& folder) {
        QList<MetadataListing::Entry> listing;
        QList<MetadataListing::LeftOut> left;
        if (MetadataListing::ListEntries(folder, &listing, &left) != 0) {
            m_unlistable = folder;
            return -1;
        }
        for (const MetadataListing::LeftOut& entry : std::as_const(left)) {
            // Of what is neither file nor folder, only names of encrypted files concern a check.
            if (entry.partial || entry.name.endsWith(QLatin1Char('.') + ContainerFormat::Extension)) {
                CheckFinding finding;
                finding.kind = entry.partial ? CheckFinding::Partial : CheckFinding::NotAFile;
                finding.path = folder + QLatin1Char('/') + entry.name;
                m_leftOut.append(finding);
            }
        }
        for (const MetadataListing::Entry& entry : listing) {
            if (entry.isFolder) {
                continue;
            }
            const QString path = folder + QLatin1Char('/') + entry.name;
            if (entry.nameIsText) {
                m_files.append(path);
                bytes += QFileInfo(path).size();
            } else {
                m_namesNotText.append(path);
            }
        }
        return 0;
    });
    m_filesTotal = m_files.size();
    m_bytesTotal = bytes;
    return listed;
}

void FolderCheckRun::evaluate(const QList<FolderCheck::FileResult>& results)
{
    m_summary = CheckSummary();
    m_summary.files = m_files.size();
    m_summary.complete = results.size() == m_files.size();
    m_findings.clear();
    for (const FolderCheck::FileResult& result : results) {
        const ClassifiedEntry& entry = result.entry;
        CheckFinding finding;
        finding.path = entry.path;
        switch (entry.kind) {
        case ClassifiedEntry::Encrypted:
            ++m_summary.checked;
            m_summary.bytes += result.checkedBytes;
            finding.originalName = entry.name;
            // extract and decrypt refuse such a name, so the file cannot be restored as it is.
            if (!IsSingleFileName(entry.name)) {
                ++m_summary.unusableNames;
                finding.kind = CheckFinding::UnusableName;
                m_findings.append(finding);
            }
            if (result.whole) {
                ++m_summary.whole;
                continue;
            }
            ++m_summary.damaged;
            finding.kind = CheckFinding::Damaged;
            finding.detail = result.fault;
            break;
        case ClassifiedEntry::OtherPassword:
        case ClassifiedEntry::NewerFormat:
            ++m_summary.foreign;
            finding.kind = entry.kind == ClassifiedEntry::OtherPassword ? CheckFinding::OtherPassword
                                                                        : CheckFinding::NewerFormat;
            break;
        case ClassifiedEntry::Unreadable:
            ++m_summary.unreadable;
            finding.kind = CheckFinding::Unreadable;
            finding.detail = result.fault;
            break;
        case ClassifiedEntry::Plain:
            ++m_summary.plain;
            finding.kind = CheckFinding::Plain;
            break;
        case ClassifiedEntry::Subfolder:
        case ClassifiedEntry::Partial: // from the listing, never from a header
            continue;
        }
        m_findings.append(finding);
    }
    addDuplicates(results);
    for (const QString& path : std::as_const(m_namesNotText)) {
        ++m_summary.files;
        ++m_summary.unreadable;
        m_findings.append({CheckFinding::NameNotText, path, QString(), QString()});
    }
    for (const CheckFinding& finding : std::as_const(m_leftOut)) {
        ++(finding.kind == CheckFinding::Partial ? m_summary.partial : m_summary.notFiles);
        m_findings.append(finding);
    }
}

// Names shown by more than one encrypted file of a folder: the window only lets such files be
// taken out.
void FolderCheckRun::addDuplicates(const QList<FolderCheck::FileResult>& results)
{
    QHash<QString, QList<ClassifiedEntry>> byFolder;
    QStringList order;
    for (const FolderCheck::FileResult& result : results) {
        const QString folder = QFileInfo(result.entry.path).path();
        if (!byFolder.contains(folder)) {
            order.append(folder);
        }
        byFolder[folder].append(result.entry);
    }
    for (const QString& folder : order) {
        const QList<ClassifiedEntry>& entries = byFolder.value(folder);
        for (const QString& name : DuplicateNames(entries)) {
            QStringList stored;
            for (const ClassifiedEntry& entry : entries) {
                if (entry.kind == ClassifiedEntry::Encrypted && entry.name == name) {
                    stored.append(entry.storedName);
                }
            }
            ++m_summary.duplicates;
            m_findings.append({CheckFinding::Duplicate, folder + QLatin1Char('/') + name, name,
                               stored.join(QStringLiteral(", "))});
        }
    }
}
