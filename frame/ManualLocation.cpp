#include "frame/ManualLocation.h"

#include <QDir>
#include <QFileInfo>

QString ManualPath(const QString& programFolder)
{
    const QStringList candidates = {programFolder + QStringLiteral("/manual/index.html"),
                                    programFolder +
                                        QStringLiteral("/../share/doc/kurabox/manual/index.html")};
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isFile()) {
            return QDir::cleanPath(candidate);
        }
    }
    return {};
}
