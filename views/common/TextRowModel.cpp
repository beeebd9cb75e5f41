#include "views/common/TextRowModel.h"

#include <algorithm>
#include <numeric>

TextRowModel::TextRowModel(QStringList titles, QObject* parent)
    : QAbstractTableModel(parent), m_titles(std::move(titles))
{
}

int TextRowModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TextRowModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_titles.size());
}

QVariant TextRowModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text(index.row(), index.column());
    case Qt::ForegroundRole:
    case Qt::BackgroundRole: {
        const QColor& colour = role == Qt::ForegroundRole ? m_markText : m_markBackground;
        if (m_markColumn >= 0 && colour.isValid() && text(index.row(), m_markColumn) == m_markValue) {
            return colour;
        }
        return {};
    }
    default:
        return {};
    }
}

void TextRowModel::setMarkedRows(int column, const QString& value, const QColor& text,
                                 const QColor& background)
{
    m_markColumn = column;
    m_markValue = value;
    m_markText = text;
    m_markBackground = background;
    if (!m_rows.isEmpty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                         {Qt::ForegroundRole, Qt::BackgroundRole});
    }
}

QVariant TextRowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return m_titles.value(section);
}

QString TextRowModel::text(int row, int column) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).value(column) : QString();
}

bool TextRowModel::setText(int row, int column, const QString& text)
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_titles.size()) {
        return false;
    }
    m_rows[row][column] = text;
    emit dataChanged(index(row, column), index(row, column));
    return true;
}

int TextRowModel::appendRow(const QStringList& texts)
{
    const int row = int(m_rows.size());
    beginInsertRows(QModelIndex(), row, row);
    m_rows.append(fitted(texts));
    endInsertRows();
    return row;
}

bool TextRowModel::replaceRow(int row, const QStringList& texts)
{
    if (row < 0 || row >= m_rows.size()) {
        return false;
    }
    m_rows[row] = fitted(texts);
    emit dataChanged(index(row, 0), index(row, int(m_titles.size()) - 1));
    return true;
}

bool TextRowModel::removeRowAt(int row)
{
    if (row < 0 || row >= m_rows.size()) {
        return false;
    }
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeAt(row);
    endRemoveRows();
    return true;
}

void TextRowModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void TextRowModel::setRows(QList<QStringList> rows)
{
    beginResetModel();
    for (QStringList& row : rows) {
        row = fitted(row);
    }
    m_rows = std::move(rows);
    endResetModel();
}

void TextRowModel::sortRows(const std::function<bool(const QStringList&, const QStringList&)>& less)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return less(m_rows.at(a), m_rows.at(b)); });
    QList<QStringList> sorted;
    sorted.reserve(m_rows.size());
    QList<int> newRowOf(m_rows.size());
    for (int i = 0; i < order.size(); ++i) {
        sorted.append(m_rows.at(order.at(i)));
        newRowOf[order.at(i)] = i;
    }
    m_rows = std::move(sorted);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
        after.append(this->index(newRowOf.value(index.row()), index.column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int TextRowModel::findRow(int columnA, const QString& textA, int columnB, const QString& textB) const
{
    for (int row = 0; row < m_rows.size(); ++row) {
        if (text(row, columnA) == textA && text(row, columnB) == textB) {
            return row;
        }
    }
    return -1;
}

QStringList TextRowModel::fitted(const QStringList& texts) const
{
    QStringList row = texts.mid(0, m_titles.size());
    while (row.size() < m_titles.size()) {
        row.append(QString());
    }
    return row;
}
