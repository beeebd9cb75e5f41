#include "app/ShellFileTypes.h"

#include "platform/AppAssociations.h"
#include "platform/Platform.h"
#include "util/ResultCodes.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString withDot(const QString& extension)
{
    return extension.startsWith(QLatin1Char('.')) ? extension : QLatin1Char('.') + extension;
}

// The template files, in name order. Hidden files and folders are no templates.
QFileInfoList templateFiles()
{
    const QString folder = Platform::instance().SpecialFolderPath(SpecialFolder::Templates);
    return QDir(folder).entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
}

QString extensionOf(const QFileInfo& file)
{
    const QString name = file.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot <= 0 ? QString() : name.mid(dot);
}

} // namespace

int GetTypeName(const QString& extension, QString* name)
{
    const QString description = TypeDescriptionForExtension(extension);
    if (description.isEmpty()) {
        return Result::Failed;
    }
    *name = description;
    return 0;
}

int GetShellNewTemplate(const QString& extension, ShellNewTemplate* result)
{
    const QString wanted = withDot(extension);
    for (const QFileInfo& file : templateFiles()) {
        if (extensionOf(file).compare(wanted, Qt::CaseInsensitive) != 0) {
            continue;
        }
        *result = ShellNewTemplate{};
        if (file.size() == 0) {
            result->kind = QStringLiteral("NullFile");
        } else {
            result->kind = QStringLiteral("FileName");
            result->fileName = file.absoluteFilePath();
        }
        return 0;
    }
    return Result::Failed;
}

QStringList ListNewFileTypes()
{
    QStringList types;
    for (const QFileInfo& file : templateFiles()) {
        const QString extension = extensionOf(file);
        if (extension.isEmpty() ||
            extension.compare(QLatin1String(".library-ms"), Qt::CaseInsensitive) == 0 ||
            types.contains(extension, Qt::CaseInsensitive)) {
            continue;
        }
        ShellNewTemplate found;
        if (GetShellNewTemplate(extension, &found) != 0 || DefaultProgramForExtension(extension).isEmpty()) {
            continue;
        }
        types.append(extension);
        if (types.size() == MaxNewFileTypes) {
            break;
        }
    }
    return types;
}

int GetOpenWithList(const QString& extension, bool offerTextProgram, OpenWithPrograms* programs)
{
    *programs = OpenWithPrograms{};
    QList<ProgramEntry> entries = ProgramsForExtension(extension);
    if (entries.isEmpty() && offerTextProgram) {
        entries = ProgramsForExtension(QStringLiteral(".txt")).mid(0, 1);
    }
    for (const ProgramEntry& entry : entries) {
        if (QFileInfo(entry.path).isFile()) {
            programs->names.append(entry.displayName);
            programs->paths.append(entry.path);
        }
    }
    return programs->paths.isEmpty() ? -1 : 0;
}
