#include "cli/FolderOptions.h"

#include "cli/CliLanguage.h"
#include "cli/CliMessageService.h"
#include "cli/SharedTexts.h"
#include "engine/ContainerFormat.h"
#include "util/ResultCodes.h"

#include <QDateTime>
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
    return time.toString(QStringLiteral("yyyy-MM-ddThh:mm:ss"));
}
