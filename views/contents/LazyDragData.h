#pragma once

#include <QMimeData>
#include <QStringList>

#include <functional>

// The data of rows dragged out of the contents list when they are handed out decrypted: the
// plain copies are made only when the drop target first asks for the file list, so that a drag
// that is dropped nowhere (or refused) decrypts nothing. A refusal gives the target no files.
class LazyDragData : public QMimeData
{
    Q_OBJECT

public:
    // prepare makes the copies and returns their paths (empty on refusal).
    explicit LazyDragData(std::function<QStringList()> prepare);

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;
    // Whether the copies were asked for (and made, or refused).
    bool prepared() const { return m_prepared; }
    QStringList copies() const { return m_copies; }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    std::function<QStringList()> m_prepare;
    mutable bool m_prepared = false;
    mutable QStringList m_copies;
};
