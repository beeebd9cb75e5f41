#include "views/contents/LazyDragData.h"

#include <QUrl>

namespace {

const QString UriList = QStringLiteral("text/uri-list");
const QString GnomeFiles = QStringLiteral("x-special/gnome-copied-files");

} // namespace

LazyDragData::LazyDragData(std::function<QStringList()> prepare) : m_prepare(std::move(prepare)) {}

QStringList LazyDragData::formats() const
{
    return {UriList, GnomeFiles};
}

bool LazyDragData::hasFormat(const QString& mimeType) const
{
    return formats().contains(mimeType);
}

QVariant LazyDragData::retrieveData(const QString& mimeType, QMetaType type) const
{
    if (!hasFormat(mimeType)) {
        return QMimeData::retrieveData(mimeType, type);
    }
    if (!m_prepared) {
        m_prepared = true;
        m_copies = m_prepare ? m_prepare() : QStringList();
    }
    if (m_copies.isEmpty()) {
        return {};
    }
    QList<QUrl> urls;
    QByteArray list;
    for (const QString& copy : m_copies) {
        urls.append(QUrl::fromLocalFile(copy));
        list += QUrl::fromLocalFile(copy).toEncoded() + "\r\n";
    }
    if (mimeType == GnomeFiles) {
        QByteArray text = "copy";
        for (const QUrl& url : urls) {
            text += '\n' + url.toEncoded();
        }
        return text;
    }
    if (type.id() == QMetaType::QVariantList || type.id() == QMetaType::QUrl) {
        QVariantList values;
        for (const QUrl& url : urls) {
            values.append(url);
        }
        return values;
    }
    return list;
}
