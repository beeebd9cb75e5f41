#include "store/settings/ProfileFile.h"

#include "store/datafiles/WholeFileSave.h"
#include "util/AnsiText.h"
#include "util/ErrorText.h"

#include <QFile>

#include <cerrno>

namespace {

constexpr char Utf16Mark[] = "\xFF\xFE";

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString withoutBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin))) {
        ++begin;
    }
    while (end > begin && isBlank(text.at(end - 1))) {
        --end;
    }
    return text.mid(begin, end - begin).toString();
}

// The section name of a header line ("[Name]"), or a null text for any other line.
QString headerName(const QString& line)
{
    const QString text = withoutBlanks(line);
    if (!text.startsWith(QLatin1Char('['))) {
        return {};
    }
    const qsizetype close = text.indexOf(QLatin1Char(']'));
    const QString name = withoutBlanks(QStringView(text).mid(1, close < 0 ? -1 : close - 1));
    return name.isNull() ? QStringLiteral("") : name;
}

// Splits a "Key=value" line; false for a line without "=".
bool splitKeyLine(const QString& line, QString* key, QString* value)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0) {
        return false;
    }
    *key = withoutBlanks(QStringView(line).left(equals));
    if (value) {
        *value = withoutBlanks(QStringView(line).mid(equals + 1));
    }
    return true;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString unquoted(const QString& value)
{
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\''))) {
        return value.mid(1, value.size() - 2);
    }
    return value;
}

} // namespace

bool ProfileFile::load(const QString& path, QString* errorText)
{
    m_lines.clear();
    m_raw.clear();
    m_encoding = Encoding::Utf16;
    QFile file(path);
    if (!file.exists()) {
        return true;
    }
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        if (errorText) {
            *errorText = FileExceptionText(FileErrorCauseFromErrno(errno ? errno : EACCES));
        }
        return false;
    }
    parse(file.readAll());
    return true;
}

bool ProfileFile::save(const QString& path, QString* errorText) const
{
    return SaveWholeFile(path, toBytes(), errorText) == 0;
}

namespace {

// Splits text into lines, each with its own end (CRLF, LF or CR) if it has one.
template <typename Text>
QList<Text> linesWithEnds(const Text& text)
{
    QList<Text> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            ++i;
        } else if (text.at(i) != u'\r' && text.at(i) != u'\n') {
            continue;
        }
        lines.append(text.mid(start, i + 1 - start));
        start = i + 1;
    }
    if (start < text.size()) {
        lines.append(text.mid(start));
    }
    return lines;
}

template <typename Text>
Text withoutEnd(Text line)
{
    while (!line.isEmpty() && (line.back() == u'\n' || line.back() == u'\r')) {
        line.chop(1);
    }
    return line;
}

QByteArray utf16Bytes(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        bytes.append(static_cast<char>(unit & 0xFF));
        bytes.append(static_cast<char>(unit >> 8));
    }
    return bytes;
}

} // namespace

void ProfileFile::parse(const QByteArray& bytes)
{
    m_lines.clear();
    m_raw.clear();
    if (bytes.isEmpty()) {
        m_encoding = Encoding::Utf16;
    } else if (bytes.startsWith(Utf16Mark)) {
        m_encoding = Encoding::Utf16;
        const QByteArray body = bytes.mid(2);
        const QString text =
            QString::fromUtf16(reinterpret_cast<const char16_t*>(body.constData()), body.size() / 2);
        for (const QString& line : linesWithEnds(text)) {
            m_lines.append(withoutEnd(line));
            m_raw.append(utf16Bytes(line));
        }
    } else {
        m_encoding = Encoding::Ansi;
        // Code page 932 never uses CR or LF inside a character, so the bytes split as the text.
        for (const QByteArray& line : linesWithEnds(bytes)) {
            m_lines.append(FromAnsiBytes(withoutEnd(line)));
            m_raw.append(line);
        }
    }
}

QByteArray ProfileFile::encoded(const QString& text) const
{
    return m_encoding == Encoding::Ansi ? ToAnsiBytes(text) : utf16Bytes(text);
}

QByteArray ProfileFile::toBytes() const
{
    QByteArray bytes = m_encoding == Encoding::Ansi ? QByteArray() : QByteArray(Utf16Mark, 2);
    const QByteArray lineEnd = encoded(QStringLiteral("\r\n"));
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QByteArray& raw = m_raw.at(i);
        if (raw.isEmpty()) {
            bytes += encoded(m_lines.at(i)) + lineEnd;
        } else {
            bytes += raw;
            if (!raw.endsWith(encoded(QStringLiteral("\n"))) &&
                !raw.endsWith(encoded(QStringLiteral("\r")))) {
                bytes += lineEnd; // the last line of the file had no end of its own
            }
        }
    }
    return bytes;
}

void ProfileFile::putLine(qsizetype index, const QString& line, bool insert)
{
    if (insert) {
        m_lines.insert(index, line);
        m_raw.insert(index, QByteArray());
    } else {
        m_lines[index] = line;
        m_raw[index] = QByteArray();
    }
}

qsizetype ProfileFile::findSection(const QString& section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString name = headerName(m_lines.at(i));
        if (!name.isNull() && sameName(name, section)) {
            return i;
        }
    }
    return -1;
}

qsizetype ProfileFile::sectionEnd(qsizetype header) const
{
    qsizetype i = header + 1;
    while (i < m_lines.size() && headerName(m_lines.at(i)).isNull()) {
        ++i;
    }
    return i;
}

qsizetype ProfileFile::findKey(qsizetype header, const QString& key) const
{
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        QString name;
        if (splitKeyLine(m_lines.at(i), &name, nullptr) && sameName(name, key)) {
            return i;
        }
    }
    return -1;
}

QString ProfileFile::value(const QString& section, const QString& key, const QString& defaultValue) const
{
    const qsizetype header = findSection(section);
    const qsizetype line = header < 0 ? -1 : findKey(header, key);
    if (line < 0) {
        return defaultValue.left(MaxValueLength);
    }
    QString name;
    QString text;
    splitKeyLine(m_lines.at(line), &name, &text);
    return unquoted(text).left(MaxValueLength);
}

void ProfileFile::setValue(const QString& section, const QString& key, const QString& value)
{
    const qsizetype header = findSection(section);
    if (header < 0) {
        putLine(m_lines.size(), QLatin1Char('[') + section + QLatin1Char(']'), true);
        putLine(m_lines.size(), key + QLatin1Char('=') + value, true);
        return;
    }
    const qsizetype line = findKey(header, key);
    if (line >= 0) {
        QString name;
        splitKeyLine(m_lines.at(line), &name, nullptr);
        putLine(line, name + QLatin1Char('=') + value, false);
        return;
    }
    // After the section's last line that is not blank, so blank lines before the next section stay.
    qsizetype at = sectionEnd(header);
    while (at > header + 1 && withoutBlanks(m_lines.at(at - 1)).isEmpty()) {
        --at;
    }
    putLine(at, key + QLatin1Char('=') + value, true);
}
