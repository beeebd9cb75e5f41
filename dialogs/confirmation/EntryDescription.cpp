#include "dialogs/confirmation/EntryDescription.h"

#include "engine/ContainerCrypt.h"
#include "util/FileQueries.h"
#include "util/SizeText.h"
#include "util/TimeText.h"

#include <QDateTime>

namespace {

const QString Unknown = QStringLiteral("不明");

// The stored modification time as "2024年01月31日 09:05:07", a space before the hour.
QString containerTimeText(qint64 secondsSince1970)
{
    const QString text = LocalTimeText(QDateTime::fromSecsSinceEpoch(secondsSince1970));
    const qsizetype day = text.indexOf(QStringLiteral("日"));
    return day < 0 ? text : text.left(day + 1) + QLatin1Char(' ') + text.mid(day + 1);
}

} // namespace

QString EntryDescription(const QString& path, bool isContainer, const QString& slot)
{
    QString size = Unknown;
    QString time = Unknown;
    if (isContainer) {
        ContainerInfo info;
        if (ContainerCrypt::instance().ReadContainerInfo(path, &info, slot, false) == 0 && info.keyMatched) {
            size = SizeText(info.plainSize);
            time = containerTimeText(info.modificationTime);
        }
        return QStringLiteral("元のサイズ：　") + size + QStringLiteral("\n更新日時：　") + time;
    }
    qint64 length = 0;
    if (FileSize(path, &length) == 0) {
        size = SizeText(length);
    }
    QString lastWrite;
    if (FileTimeText(path, FileTimeKind::LastWrite, &lastWrite) == 0) {
        time = lastWrite;
    }
    return QStringLiteral("サイズ：　") + size + QStringLiteral("\n更新日時：　") + time;
}
