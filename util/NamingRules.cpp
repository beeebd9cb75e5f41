#include "util/NamingRules.h"

#include "platform/Platform.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PathText.h"
#include "util/ResultCodes.h"

#include <QUuid>

namespace {

constexpr qint64 MaxCandidates = 999999999;
constexpr int ShortNameLength = 6;

// The first candidate (numbered 1, 2, …) that is not taken.
QString firstFree(const std::function<QString(qint64)>& candidate,
                  const std::function<bool(const QString&)>& taken)
{
    for (qint64 n = 1; n <= MaxCandidates; ++n) {
        const QString name = candidate(n);
        if (!taken(name)) {
            return name;
        }
    }
    return {};
}

std::function<bool(const QString&)> folderIn(const QString& parent)
{
    return [parent](const QString& name) { return DirectoryExists(parent + QLatin1Char('/') + name) == 0; };
}

QString replacePrefix(const QString& path, const QString& prefix, const QString& replacement)
{
    if (prefix.isEmpty() || !PathIsInside(path, prefix) || SamePath(path, prefix)) {
        return {};
    }
    return replacement + path.mid(prefix.size());
}

} // namespace

int ShortFolderName(const QString& parent, QString* name)
{
    for (qint64 n = 0; n < MaxCandidates; ++n) {
        const QUuid guid = QUuid::createUuid();
        if (guid.isNull()) {
            ShowMessage(MsgA(452), MessageStyle::error());
            return Result::Failed;
        }
        // The leading hex digits of the GUID, as they begin a container name.
        const QString candidate = QString::asprintf("%08X", guid.data1).left(ShortNameLength);
        if (DirectoryExists(parent + QLatin1Char('/') + candidate) != 0) {
            *name = candidate;
            return 0;
        }
    }
    return Result::Failed;
}

QString NewFolderName(const QString& parent)
{
    const QString base = QStringLiteral("新しいフォルダー");
    return firstFree([&](qint64 n) { return n == 1 ? base : base + QStringLiteral(" (%1)").arg(n); },
                     folderIn(parent));
}

QString CopyName(const QString& parent, const QString& base)
{
    return firstFree(
        [&](qint64 n) {
            return n == 1 ? base + QStringLiteral(" - コピー")
                          : base + QStringLiteral(" - コピー (%1)").arg(n);
        },
        folderIn(parent));
}

QString CopyFileName(const QString& fileName, const std::function<bool(const QString&)>& taken)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? fileName : fileName.left(dot);
    const QString extension = dot < 0 ? QString() : fileName.mid(dot);
    return firstFree(
        [&](qint64 n) {
            return (n == 1 ? base + QStringLiteral(" - コピー")
                           : base + QStringLiteral(" - コピー (%1)").arg(n)) +
                   extension;
        },
        taken);
}

QString EncodeSpecialFolderPath(const QString& path)
{
    Platform& platform = Platform::instance();
    QString encoded =
        replacePrefix(path, platform.SpecialFolderPath(SpecialFolder::Documents), DocumentsToken);
    if (encoded.isEmpty()) {
        encoded = replacePrefix(path, platform.SpecialFolderPath(SpecialFolder::Desktop), DesktopToken);
    }
    return encoded.isEmpty() ? path : encoded;
}

QString DecodeSpecialFolderPath(const QString& path)
{
    Platform& platform = Platform::instance();
    if (path.startsWith(DocumentsToken)) {
        return platform.SpecialFolderPath(SpecialFolder::Documents) + path.mid(DocumentsToken.size());
    }
    if (path.startsWith(DesktopToken)) {
        return platform.SpecialFolderPath(SpecialFolder::Desktop) + path.mid(DesktopToken.size());
    }
    return path;
}
