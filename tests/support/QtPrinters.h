#pragma once

// Readable failure output for Qt values in GoogleTest assertions. Included into every test
// source by the build.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* os)
{
    *os << "QByteArray(" << bytes.size() << ") " << bytes.toHex().left(160).toStdString();
}

inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '[';
    for (qsizetype i = 0; i < list.size(); ++i) {
        *os << (i ? ", " : "") << '"' << list.at(i).toStdString() << '"';
    }
    *os << ']';
}
