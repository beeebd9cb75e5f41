#include "operations/contents/ContentsRefresh.h"

#include <algorithm>

namespace {

constexpr qsizetype KeyWidth = 256;

// The merge order of two states: names as if padded with spaces to 256 characters, then flags.
int CompareForMerge(const RowState& a, const RowState& b)
{
    const QStringView left = QStringView(a.name).left(KeyWidth);
    const QStringView right = QStringView(b.name).left(KeyWidth);
    const qsizetype common = qMin(left.size(), right.size());
    for (qsizetype i = 0; i < common; ++i) {
        if (left[i] != right[i]) {
            return left[i].unicode() < right[i].unicode() ? -1 : 1;
        }
    }
    // The shorter name continues with spaces.
    const QStringView longer = left.size() > right.size() ? left : right;
    for (qsizetype i = common; i < longer.size(); ++i) {
        if (longer[i] != QLatin1Char(' ')) {
            const bool spaceFirst = longer[i].unicode() > u' ';
            return (left.size() > right.size()) == spaceFirst ? 1 : -1;
        }
    }
    if (a.plainFlag != b.plainFlag) {
        return a.plainFlag < b.plainFlag ? -1 : 1;
    }
    return 0;
}

// Within one name and flag, entries pair up by path, so that two containers showing the same
// name are never matched with each other's rows.
bool SortsBefore(const RowState& a, const RowState& b)
{
    const int order = CompareForMerge(a, b);
    return order != 0 ? order < 0 : a.path < b.path;
}

// Whether a state of the same name and flag as states[from], from there on, has this path.
bool GroupHasPath(const QList<RowState>& states, qsizetype from, const QString& path)
{
    for (qsizetype j = from; j < states.size() && CompareForMerge(states.at(j), states.at(from)) == 0; ++j) {
        if (states.at(j).path == path) {
            return true;
        }
    }
    return false;
}

} // namespace

void SortForMerge(QList<RowState>* states)
{
    std::stable_sort(states->begin(), states->end(), SortsBefore);
}

QList<RefreshStep> PlanContentsRefresh(QList<RowState> rows, QList<RowState> entries)
{
    SortForMerge(&rows);
    SortForMerge(&entries);
    QList<RefreshStep> steps;
    qsizetype i = 0;
    qsizetype k = 0;
    while (i < rows.size() && k < entries.size()) {
        const RowState& old = rows.at(i);
        const RowState& fresh = entries.at(k);
        const int order = CompareForMerge(old, fresh);
        if (order == 0 && old.path != fresh.path &&
            (GroupHasPath(entries, k, old.path) || GroupHasPath(rows, i, fresh.path))) {
            // Several entries show this name: they pair by path.
            if (old.path < fresh.path) {
                steps.append({RefreshStep::Remove, old, {}});
                ++i;
            } else {
                steps.append({RefreshStep::Append, {}, fresh});
                ++k;
            }
            continue;
        }
        if (order == 0) {
            if (old.rawTime != fresh.rawTime || old.path != fresh.path) {
                steps.append({RefreshStep::Update, old, fresh});
            }
            ++i;
            ++k;
        } else if (order < 0) {
            steps.append({RefreshStep::Remove, old, {}});
            ++i;
        } else {
            steps.append({RefreshStep::Append, {}, fresh});
            ++k;
        }
    }
    for (; k < entries.size(); ++k) {
        steps.append({RefreshStep::Append, {}, entries.at(k)});
    }
    for (; i < rows.size(); ++i) {
        steps.append({RefreshStep::Remove, rows.at(i), {}});
    }
    return steps;
}
