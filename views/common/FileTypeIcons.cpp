#include "views/common/FileTypeIcons.h"

#include <QApplication>
#include <QHash>
#include <QMimeDatabase>
#include <QStyle>

namespace {

QIcon GenericFileIcon()
{
    static const QIcon icon = QIcon::fromTheme(
        QStringLiteral("text-x-generic"), QIcon::fromTheme(QStringLiteral("application-octet-stream"),
                                                           qApp->style()->standardIcon(QStyle::SP_FileIcon)));
    return icon;
}

} // namespace

QIcon IconForFileName(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot == name.size() - 1) {
        return GenericFileIcon();
    }
    const QString extension = name.mid(dot + 1).toLower();
    static QHash<QString, QIcon> cache;
    const auto it = cache.constFind(extension);
    if (it != cache.cend()) {
        return it.value();
    }
    static const QMimeDatabase database;
    const QMimeType type =
        database.mimeTypeForFile(QStringLiteral("x.") + extension, QMimeDatabase::MatchExtension);
    QIcon icon;
    if (type.isValid() && !type.isDefault()) {
        icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    }
    if (icon.isNull()) {
        icon = GenericFileIcon();
    }
    cache.insert(extension, icon);
    return icon;
}

QIcon FolderIcon()
{
    static const QIcon icon =
        QIcon::fromTheme(QStringLiteral("folder"), qApp->style()->standardIcon(QStyle::SP_DirIcon));
    return icon;
}
