#include "platform/TrashFolder.h"

#include "util/FileReplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Whether a Path= value reads as percent-encoded: plain ASCII without spaces or controls, and
// every "%" the start of an escape.
bool LooksEscaped(const QByteArray& value)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        const auto c = static_cast<unsigned char>(value.at(i));
        if (c <= 0x20 || c >= 0x7f) {
            return false;
        }
        if (c == '%' &&
            !(i + 2 < value.size() && IsHexDigit(value.at(i + 1)) && IsHexDigit(value.at(i + 2)))) {
            return false;
        }
    }
    return true;
}

} // namespace

namespace TrashFolder {

QByteArray escapedPath(const QString& path)
{
    return QUrl::toPercentEncoding(path, QByteArrayLiteral("/"));
}

QString pathOfValue(const QByteArray& value)
{
    return LooksEscaped(value) ? QUrl::fromPercentEncoding(value) : QString::fromUtf8(value);
}

bool escapeInfoPath(const QString& trashedPath, QString* error)
{
    const QString trash = trashedPath.section(QLatin1Char('/'), 0, -3);
    const QString infoPath = trash + QStringLiteral("/info/") + trashedPath.section(QLatin1Char('/'), -1) +
                             QStringLiteral(".trashinfo");
    QFile file(infoPath);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    QList<QByteArray> lines = file.readAll().split('\n');
    file.close();
    for (QByteArray& line : lines) {
        if (line.startsWith("Path=")) {
            line = "Path=" + escapedPath(pathOfValue(line.mid(5).trimmed()));
        }
    }
    int failed = 0;
    if (ReplaceWholeFile(infoPath, lines.join('\n'), &failed) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(failed));
        return false;
    }
    return true;
}

QString homeTrash()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash");
}

QStringList topDirTrashes(const QString& mountPoint)
{
    const QString top = mountPoint == QLatin1String("/") ? QString() : mountPoint;
    const QString uid = QString::number(::getuid());
    return {top + QStringLiteral("/.Trash/") + uid, top + QStringLiteral("/.Trash-") + uid};
}

QList<TrashItem> items(const QString& trashFolder)
{
    QList<TrashItem> result;
    const QDir info(trashFolder + QStringLiteral("/info"));
    const QString topDir =
        trashFolder.section(QLatin1Char('/'), 0, trashFolder.contains(QLatin1String("/.Trash/")) ? -3 : -2);
    for (const QString& name :
         info.entryList({QStringLiteral("*.trashinfo")}, QDir::Files | QDir::Hidden, QDir::Name)) {
        QFile file(info.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        TrashItem item;
        item.infoPath = file.fileName();
        item.trashedPath = trashFolder + QStringLiteral("/files/") + name.chopped(int(qstrlen(".trashinfo")));
        bool inSection = false;
        for (const QByteArray& raw : file.readAll().split('\n')) {
            const QByteArray line = raw.trimmed();
            if (line.startsWith('[')) {
                inSection = line == "[Trash Info]";
            } else if (inSection && line.startsWith("Path=")) {
                QString path = pathOfValue(line.mid(5));
                if (!path.startsWith(QLatin1Char('/'))) {
                    path = topDir + QLatin1Char('/') + path; // relative to the volume's top
                }
                item.originalPath = QDir::cleanPath(path);
            } else if (inSection && line.startsWith("DeletionDate=")) {
                item.deletionDate = QDateTime::fromString(QString::fromLatin1(line.mid(13)), Qt::ISODate);
            }
        }
        const QFileInfo trashed(item.trashedPath);
        if (!item.originalPath.isEmpty() && (trashed.exists() || trashed.isSymLink())) {
            result.append(item);
        }
    }
    return result;
}

bool restore(const TrashItem& item, QString* error)
{
    const QFileInfo target(item.originalPath);
    if (target.exists() || target.isSymLink()) {
        *error = QString::fromLocal8Bit(std::strerror(EEXIST));
        return false;
    }
    if (!QDir().mkpath(target.absolutePath())) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    // Whatever appeared at the former path since the check above stays: the rename refuses it.
    if (const int failed = RenameInto(item.trashedPath, item.originalPath, false); failed != 0) {
        *error = QString::fromLocal8Bit(std::strerror(failed));
        return false;
    }
    QFile::remove(item.infoPath);
    return true;
}

} // namespace TrashFolder
