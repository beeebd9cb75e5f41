#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A profile file: "[Section]" lines followed by "Key=value" lines, kept in UTF-16LE behind the
// FF FE mark (a file without the mark is read as code page 932 and written back the same way).
//
// Lookups follow the usual profile conventions, so files edited by hand or written by other
// tools read the same: section and key names match without regard to case, blanks around
// names, "=" and values are ignored, a value in matching quotes loses them, the first match
// wins, and CRLF, LF or CR end lines. Changes keep every other line as it was; a new key is
// added at the end of its section and a new section at the end of the file, one "Key=value"
// line per key without blanks, lines ending in CRLF. Lines no change touched are written back
// byte for byte, with their own line ends, whatever bytes they hold.
class ProfileFile
{
public:
    // The longest value a lookup returns, as with a 2000-character read buffer.
    static constexpr int MaxValueLength = 1999;

    enum class Encoding
    {
        Utf16,
        Ansi,
    };

    // Reads the file. A missing file is an empty profile; false with the cause when an existing
    // file cannot be read.
    bool load(const QString& path, QString* errorText = nullptr);
    // Writes the whole profile beside the file and renames it over (see SaveWholeFile).
    bool save(const QString& path, QString* errorText = nullptr) const;

    void parse(const QByteArray& bytes);
    QByteArray toBytes() const;

    QString value(const QString& section, const QString& key, const QString& defaultValue = QString()) const;
    void setValue(const QString& section, const QString& key, const QString& value);

    Encoding encoding() const { return m_encoding; }
    const QStringList& lines() const { return m_lines; }

private:
    // The line index of the first header of that section, or -1.
    qsizetype findSection(const QString& section) const;
    // The index just past the section's last line (its next header or the end).
    qsizetype sectionEnd(qsizetype header) const;
    // The line of the first key of that name in the section, or -1.
    qsizetype findKey(qsizetype header, const QString& key) const;

    // Replaces, inserts or appends a line the profile writes itself.
    void putLine(qsizetype index, const QString& line, bool insert);
    QByteArray encoded(const QString& text) const;

    QStringList m_lines;
    // The bytes each line was read from, its line end included; empty for a line written here.
    QList<QByteArray> m_raw;
    Encoding m_encoding = Encoding::Utf16;
};
