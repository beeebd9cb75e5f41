#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>

#include <functional>

// The rows of a list pane: each row a fixed number of text columns, addressed by (row, column)
// as the operations read them. The column titles are given once. The model knows nothing of
// what the texts mean; the panes' models name their columns.
class TextRowModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    TextRowModel(QStringList titles, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The text of a cell; empty for a cell that does not exist.
    QString text(int row, int column) const;
    // Sets one cell of an existing row; false when there is no such cell.
    bool setText(int row, int column, const QString& text);
    // Appends a row; missing columns are empty, surplus ones dropped. Returns its index.
    int appendRow(const QStringList& texts);
    // Replaces all texts of an existing row.
    bool replaceRow(int row, const QStringList& texts);
    bool removeRowAt(int row);
    void clear();
    // Replaces every row at once (one reset instead of a notice per row).
    void setRows(QList<QStringList> rows);
    // Orders the rows by `less` (equal rows keep their order); views keep their selection.
    void sortRows(const std::function<bool(const QStringList&, const QStringList&)>& less);
    // The first row whose columnA reads textA and whose columnB reads textB (exact, case
    // sensitive), -1 when none.
    int findRow(int columnA, const QString& textA, int columnB, const QString& textB) const;
    // Rows whose `column` reads `value` are drawn in `text` on `background`; an invalid colour
    // leaves the view's own. Replaces an earlier marking.
    void setMarkedRows(int column, const QString& value, const QColor& text, const QColor& background);

private:
    QStringList fitted(const QStringList& texts) const;

    QStringList m_titles;
    QList<QStringList> m_rows;
    int m_markColumn = -1;
    QString m_markValue;
    QColor m_markText;
    QColor m_markBackground;
};
