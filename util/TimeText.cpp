#include "util/TimeText.h"

#include "util/ResultCodes.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <algorithm>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <utility>

namespace {

std::optional<qint64> readTimeSeconds(const QString& path, FileTimeKind kind)
{
    if (path.isEmpty()) {
        return std::nullopt;
    }
    const QByteArray encoded = QFile::encodeName(path);
    struct statx status = {};
    const unsigned int mask = STATX_BTIME | STATX_MTIME | STATX_ATIME | STATX_CTIME;
    if (statx(AT_FDCWD, encoded.constData(), AT_STATX_SYNC_AS_STAT, mask, &status) != 0) {
        return std::nullopt;
    }
    switch (kind) {
    case FileTimeKind::Creation:
        if (status.stx_mask & STATX_BTIME) {
            return status.stx_btime.tv_sec;
        }
        return status.stx_ctime.tv_sec;
    case FileTimeKind::LastWrite:
        return status.stx_mtime.tv_sec;
    case FileTimeKind::LastAccess:
        return status.stx_atime.tv_sec;
    }
    return std::nullopt;
}

// Reads the time of one file into the outputs; false leaves them untouched.
bool readTimeText(const QString& path, FileTimeKind kind, QString* text, QDateTime* time)
{
    const std::optional<qint64> seconds = readTimeSeconds(path, kind);
    if (!seconds) {
        return false;
    }
    const QDateTime local = QDateTime::fromSecsSinceEpoch(*seconds, Qt::LocalTime);
    if (text) {
        *text = LocalTimeText(local);
    }
    if (time) {
        *time = local;
    }
    return true;
}

void clearOutputs(QString* text, QDateTime* time)
{
    if (text) {
        text->clear();
    }
    if (time) {
        *time = QDateTime();
    }
}

// A name filter in which only * and ? are wildcards: QDir's filters also read [...] as a set
// of characters, and "[[]" is their way to write a literal "[".
QString literalNameFilter(const QString& name)
{
    if (name == QLatin1String("*.*")) {
        return QStringLiteral("*");
    }
    QString filter = name;
    filter.replace(QLatin1Char('['), QLatin1String("[[]"));
    return filter;
}

} // namespace

QString LocalTimeText(const QDateTime& time)
{
    if (!time.isValid()) {
        return {};
    }
    const QDate date = time.date();
    const QTime clock = time.time();
    const auto two = [](int value) { return QString::number(value).rightJustified(2, QLatin1Char('0')); };
    return QString::number(date.year()) + QStringLiteral("年") + two(date.month()) + QStringLiteral("月") +
           two(date.day()) + QStringLiteral("日") + two(clock.hour()) + QLatin1Char(':') +
           two(clock.minute()) + QLatin1Char(':') + two(clock.second());
}

int FileTimeText(const QString& path, FileTimeKind kind, QString* text, QDateTime* time)
{
    if (!readTimeText(path, kind, text, time)) {
        clearOutputs(text, time);
        return Result::Failed;
    }
    return 0;
}

int FindTimeText(const QString& pattern, FileTimeKind kind, QString* text, QDateTime* time)
{
    const qsizetype slash = pattern.lastIndexOf(QLatin1Char('/'));
    const QString name = pattern.mid(slash + 1);
    if (!name.contains(QLatin1Char('*')) && !name.contains(QLatin1Char('?'))) {
        return FileTimeText(pattern, kind, text, time);
    }

    QString folder = QStringLiteral(".");
    if (slash == 0) {
        folder = QStringLiteral("/");
    } else if (slash > 0) {
        folder = pattern.left(slash);
    }
    QStringList matches;
    QDirIterator it(folder, {literalNameFilter(name)},
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot |
                        QDir::CaseSensitive);
    while (it.hasNext()) {
        matches.append(it.next());
    }
    // Directory order is arbitrary on Linux; name order makes "the last match" repeatable.
    std::sort(matches.begin(), matches.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseSensitive) < 0;
    });

    bool found = false;
    for (const QString& match : std::as_const(matches)) {
        found = readTimeText(match, kind, text, time) || found;
    }
    if (!found) {
        clearOutputs(text, time);
        return Result::Failed;
    }
    return 0;
}

QString CompactTimeText(const QString& digits)
{
    return digits.mid(0, 4) + QLatin1Char('/') + digits.mid(4, 2) + QLatin1Char('/') + digits.mid(6, 2) +
           QLatin1Char(' ') + digits.mid(8, 2) + QLatin1Char(':') + digits.mid(10, 2) + QLatin1Char(':') +
           digits.mid(12, 2);
}
