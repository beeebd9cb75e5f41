#include "util/PrivatePermissions.h"

#include "util/ResultCodes.h"

#include <QDebug>
#include <QFile>

#include <sys/stat.h>

namespace {

QString octal(mode_t mode)
{
    return QStringLiteral("%1").arg(uint(mode), 4, 8, QLatin1Char('0'));
}

} // namespace

int TightenPermissions(const QString& path, mode_t allowed)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::stat(native.constData(), &st) != 0) {
        return Result::Failed;
    }
    const mode_t previous = st.st_mode & 07777;
    const mode_t kept = previous & allowed;
    if (kept == previous) {
        return 0;
    }
    if (::chmod(native.constData(), kept) != 0) {
        return Result::Failed;
    }
    NoteTightenedPermissions(path, previous, kept);
    return 0;
}

void NoteTightenedPermissions(const QString& path, mode_t from, mode_t to)
{
    qWarning().noquote()
        << QStringLiteral("Permissions of %1 tightened from %2 to %3").arg(path, octal(from), octal(to));
}
