#include "util/TextLists.h"

#include "util/ResultCodes.h"

#include <algorithm>
#include <numeric>
#include <utility>
#include <vector>

namespace {

constexpr qsizetype kSortKeyNameWidth = 256;

bool ordinalLess(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseSensitive) < 0;
}

QStringList permuted(const QStringList& list, const std::vector<qsizetype>& order)
{
    QStringList result;
    result.reserve(list.size());
    for (const qsizetype index : order) {
        result.append(list.at(index));
    }
    return result;
}

} // namespace

int NextLine(const QString& text, qsizetype position, QString* line, qsizetype* nextPosition)
{
    if (position < 0 || position > text.size()) {
        position = text.size();
    }
    qsizetype k = position;
    while (k < text.size() && text[k] != QLatin1Char('\r') && text[k] != QLatin1Char('\n')) {
        ++k;
    }
    if (line) {
        *line = text.mid(position, k - position);
    }
    if (k == text.size()) {
        if (nextPosition) {
            *nextPosition = text.size();
        }
        return Result::Failed;
    }
    // Only a CR LF pair is skipped as two characters: a lone CR or LF is one, so the first
    // character of the next line is never lost.
    const bool pair = text[k] == QLatin1Char('\r') && k + 1 < text.size() && text[k + 1] == QLatin1Char('\n');
    if (nextPosition) {
        *nextPosition = k + (pair ? 2 : 1);
    }
    return 0;
}

void SortTexts(QStringList& texts)
{
    std::stable_sort(texts.begin(), texts.end(), ordinalLess);
}

QStringList RepeatedTexts(QStringList texts)
{
    SortTexts(texts);
    QStringList repeated;
    for (qsizetype i = 1; i < texts.size(); ++i) {
        if (texts.at(i) == texts.at(i - 1)) {
            repeated.append(texts.at(i));
        }
    }
    return repeated;
}

QString ParallelSortKey(const QString& name, const QString& flag)
{
    return name.leftJustified(kSortKeyNameWidth, QLatin1Char(' ')) + flag;
}

int ParallelSort(QStringList& names, QStringList& times, QStringList& paths, QStringList& flags)
{
    const qsizetype count = names.size();
    if (times.size() != count || paths.size() != count || flags.size() != count) {
        return Result::Failed;
    }
    QStringList keys;
    keys.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        keys.append(ParallelSortKey(names.at(i), flags.at(i)));
    }
    std::vector<qsizetype> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), qsizetype(0));
    std::stable_sort(order.begin(), order.end(),
                     [&keys](qsizetype a, qsizetype b) { return ordinalLess(keys.at(a), keys.at(b)); });

    // All four are permuted before any is replaced, so that a list passed twice stays sound.
    QStringList sortedNames = permuted(names, order);
    QStringList sortedTimes = permuted(times, order);
    QStringList sortedPaths = permuted(paths, order);
    QStringList sortedFlags = permuted(flags, order);
    names = std::move(sortedNames);
    times = std::move(sortedTimes);
    paths = std::move(sortedPaths);
    flags = std::move(sortedFlags);
    return 0;
}

int SameTextLists(const QStringList& first, const QStringList& second)
{
    return first == second ? 0 : -1;
}

QString TrimmedRight(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace()) {
        --end;
    }
    return text.left(end);
}
