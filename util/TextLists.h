#pragma once

#include <QString>
#include <QStringList>

// Splitting multi-line texts, and sorting and comparing lists of texts. Texts are ordered by
// ordinal comparison of their UTF-16 code units (no locale, case counts).

// Reads the line of text that starts at position. A line ends at a carriage return or a line
// feed; the pair CR LF counts as one line break, as does a lone CR or a lone LF. Returns 0 with
// the line and the position of the next line, or -1 for the last line (no break behind it),
// with nextPosition set to the length of the text. A position outside the text reads an
// empty last line.
int NextLine(const QString& text, qsizetype position, QString* line, qsizetype* nextPosition);

// Sorts the texts in ascending order; equal texts keep their order.
void SortTexts(QStringList& texts);

// Every text that occurs again, once for each further occurrence, in ascending order: the
// display names that make a folder one whose files can only be taken out.
QStringList RepeatedTexts(QStringList texts);

// The sort key of one entry of ParallelSort: the name padded with spaces to 256 characters
// (a longer name is kept whole) followed by the flag.
QString ParallelSortKey(const QString& name, const QString& flag);

// Sorts four parallel lists by ParallelSortKey(names[i], flags[i]) in ascending order; equal
// keys keep their order, and all four lists are permuted alike. Returns 0, or -1 without
// touching the lists when their lengths differ.
int ParallelSort(QStringList& names, QStringList& times, QStringList& paths, QStringList& flags);

// 0 when both lists have the same texts in the same order (exact comparison), -1 otherwise.
int SameTextLists(const QStringList& first, const QStringList& second);

// The text without the white space at its end (stored fixed-width fields are padded with spaces).
QString TrimmedRight(const QString& text);
