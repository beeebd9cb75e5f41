#pragma once

#include <QList>
#include <QString>

// How the rows of the contents list follow a folder that changed: the rows' state and the
// folder's new state are both put in name order and merged, so that only changed rows are
// rewritten, new entries appended and vanished ones removed. The list is never rebuilt or
// re-sorted by a refresh.

// What a row (or an entry on disk) is for the merge.
struct RowState
{
    QString name;      // the original name of a container, else the name on disk
    QString rawTime;   // last-write time on disk, "YYYYMMDDhhmmss"
    QString path;      // the entry's full path
    QString plainFlag; // "1" plain file, "0" container, empty for a folder

    bool operator==(const RowState&) const = default;
};

struct RefreshStep
{
    enum Kind
    {
        Update, // rewrite the row of `old` from `fresh`
        Remove, // remove the row of `old`
        Append, // append a row for `fresh`
    };
    Kind kind = Update;
    RowState old;
    RowState fresh;

    bool operator==(const RefreshStep&) const = default;
};

// Puts states in merge order: by name (padded to 256 characters), then by the plain flag, each
// compared by UTF-16 code units; equal keys keep their order.
void SortForMerge(QList<RowState>* states);

// The steps that turn the rows into the entries. Rows are found again by their path, which no
// two entries share (two containers may show the same name).
QList<RefreshStep> PlanContentsRefresh(QList<RowState> rows, QList<RowState> entries);
