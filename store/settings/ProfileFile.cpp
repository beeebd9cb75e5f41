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

void ProfileFile::parse(const QByteArray& bytes)
{
    QString text;
    if (bytes.isEmpty()) {
        m_encoding = Encoding::Utf16;
    } else if (bytes.startsWith(Utf16Mark)) {
        m_encoding = Encoding::Utf16;
        const QByteArray body = bytes.mid(2);
        text = QString::fromUtf16(reinterpret_cast<const char16_t*>(body.constData()), body.size() / 2);
    } else {
        m_encoding = Encoding::Ansi;
        text = FromAnsiBytes(bytes);
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_lines = text.split(QLatin1Char('\n'));
    if (!m_lines.isEmpty() && m_lines.constLast().isEmpty()) {
        m_lines.removeLast(); // the end of the last line, not a line of its own
    }
}

QByteArray ProfileFile::toBytes() const
{
    QString text;
    for (const QString& line : m_lines) {
        text += line + QStringLiteral("\r\n");
    }
    if (m_encoding == Encoding::Ansi) {
        return ToAnsiBytes(text);
    }
    QByteArray bytes(Utf16Mark, 2);
    for (const QChar c : std::as_const(text)) {
        const char16_t unit = c.unicode();
        bytes.append(static_cast<char>(unit & 0xFF));
        bytes.append(static_cast<char>(unit >> 8));
    }
    return bytes;
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
        m_lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        m_lines.append(key + QLatin1Char('=') + value);
        return;
    }
    const qsizetype line = findKey(header, key);
    if (line >= 0) {
        QString name;
        splitKeyLine(m_lines.at(line), &name, nullptr);
        m_lines[line] = name + QLatin1Char('=') + value;
        return;
    }
    // After the section's last line that is not blank, so blank lines before the next section stay.
    qsizetype at = sectionEnd(header);
    while (at > header + 1 && withoutBlanks(m_lines.at(at - 1)).isEmpty()) {
        --at;
    }
    m_lines.insert(at, key + QLatin1Char('=') + value);
}
