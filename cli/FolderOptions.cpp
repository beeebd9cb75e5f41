#include "cli/FolderOptions.h"

#include "cli/CliLanguage.h"
#include "cli/CliMessageService.h"
#include "cli/SharedTexts.h"
#include "engine/ContainerFormat.h"
#include "util/ResultCodes.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

const QString RecursiveOption = QStringLiteral("recursive");
const QString JsonOption = QStringLiteral("json");

OptionSyntax RecursiveOptionSyntax()
{
    return {RecursiveOption, QString(),
            Tr("Include the folders below, at every depth.", "下のフォルダーもすべて含めます。"),
            QLatin1Char('r')};
}

OptionSyntax JsonOptionSyntax()
{
    return {JsonOption, QString(),
            Tr("Print one JSON object for scripts.", "スクリプト向けに JSON を一つ出力します。")};
}

int RequireFolderWhenMarked(const QString& operand)
{
    if (!operand.endsWith(QLatin1Char('/')) || QFileInfo(operand).isDir()) {
        return 0;
    }
    return RequireFolder(QDir::cleanPath(QFileInfo(operand).absoluteFilePath()));
}

int RequireFolder(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        ReportError(Tr("%1: no such folder", "%1: フォルダーがありません").arg(path));
        return Result::Failed;
    }
    if (!info.isDir()) {
        ReportError(NotAFolderText(path));
        return Result::Failed;
    }
    return 0;
}

QJsonValue EntryTimeJson(qint64 seconds)
{
    if (!ContainerFormat::IsValidModificationTime(seconds)) {
        return QJsonValue::Null;
    }
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(Qt::ISODate);
}

QJsonValue EncryptionTimeJson(qint64 digits)
{
    const QDateTime time = ContainerFormat::EncryptionTimeFromValue(digits);
    if (digits < 0 || !time.isValid()) {
        return QJsonValue::Null;
    }
    // Stored as the local time of the machine that encrypted; given in the same form as the
    // modification time (UTC, "Z"), so that a script compares the two directly.
    return time.toUTC().toString(Qt::ISODate);
}
