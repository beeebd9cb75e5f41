#include "util/StringTable.h"

#include "util/AnsiText.h"

#include <QFile>

namespace {

const char* const kStringTablePath = ":/kurabox/strings.txt";

constexpr qsizetype kMaxTextLength = 4096;

QString unescaped(QStringView quoted)
{
    QString text;
    text.reserve(quoted.size());
    for (qsizetype i = 0; i < quoted.size(); ++i) {
        const QChar c = quoted[i];
        if (c != QLatin1Char('\\') || i + 1 == quoted.size()) {
            text.append(c);
            continue;
        }
        const QChar next = quoted[i + 1];
        if (next == QLatin1Char('n')) {
            text.append(QLatin1Char('\n'));
        } else if (next == QLatin1Char('r')) {
            text.append(QLatin1Char('\r'));
        } else if (next == QLatin1Char('t')) {
            text.append(QLatin1Char('\t'));
        } else if (next == QLatin1Char('"') || next == QLatin1Char('\\')) {
            text.append(next);
        } else {
            text.append(c);
            continue;
        }
        ++i;
    }
    return text;
}

// One entry line, or false for a line that is not one.
bool parseEntry(QStringView line, unsigned int* id, QString* text)
{
    line = line.trimmed();
    qsizetype digits = 0;
    while (digits < line.size() && line[digits].isDigit() && line[digits].unicode() < 0x80) {
        ++digits;
    }
    if (digits == 0 || digits == line.size() || !line[digits].isSpace()) {
        return false;
    }
    bool ok = false;
    const uint number = line.left(digits).toUInt(&ok);
    if (!ok) {
        return false;
    }
    const QStringView rest = line.mid(digits).trimmed();
    if (rest.size() < 2 || !rest.startsWith(QLatin1Char('"')) || !rest.endsWith(QLatin1Char('"'))) {
        return false;
    }
    // The closing quote must not be an escaped one.
    qsizetype backslashes = 0;
    for (qsizetype i = rest.size() - 2; i >= 1 && rest[i] == QLatin1Char('\\'); --i) {
        ++backslashes;
    }
    if (backslashes % 2 != 0) {
        return false;
    }
    *id = number;
    *text = unescaped(rest.mid(1, rest.size() - 2));
    return true;
}

const QHash<unsigned int, QString>& stringTable()
{
    static const QHash<unsigned int, QString> table = [] {
        QFile file(QString::fromLatin1(kStringTablePath));
        if (!file.open(QIODevice::ReadOnly)) {
            return QHash<unsigned int, QString>();
        }
        return ParseStringTable(file.readAll());
    }();
    return table;
}

} // namespace

QHash<unsigned int, QString> ParseStringTable(const QByteArray& source)
{
    QHash<unsigned int, QString> table;
    QString text = QString::fromUtf8(source);
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(QLatin1Char('#'))) {
            continue;
        }
        unsigned int id = 0;
        QString entry;
        if (parseEntry(line, &id, &entry) && !table.contains(id)) {
            table.insert(id, entry.left(kMaxTextLength));
        }
    }
    return table;
}

QString LoadText(unsigned int id)
{
    return stringTable().value(id);
}

QByteArray LoadAnsiText(unsigned int id)
{
    return ToAnsiBytes(LoadText(id));
}
