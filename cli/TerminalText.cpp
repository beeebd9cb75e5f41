#include "cli/TerminalText.h"

#include <QList>

QString TerminalSafe(const QString& text)
{
    QString safe;
    safe.reserve(text.size());
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit == u'\\') {
            safe += QLatin1String("\\\\");
        } else if (unit < 0x20 || (unit >= 0x7F && unit <= 0x9F)) {
            safe += QStringLiteral("\\x%1").arg(unsigned(unit), 2, 16, QLatin1Char('0'));
        } else {
            safe += c;
        }
    }
    return safe;
}

namespace {

int columnsOf(char32_t c)
{
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
                      (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                      (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                      (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
    return wide ? 2 : 1;
}

} // namespace

QString TerminalTail(const QString& text, int columns)
{
    const QList<uint> codePoints = text.toUcs4();
    qsizetype first = codePoints.size();
    int used = 0;
    while (first > 0) {
        const int width = columnsOf(codePoints.at(first - 1));
        if (used + width > columns) {
            break;
        }
        used += width;
        --first;
    }
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(codePoints.constData() + first),
                             codePoints.size() - first);
}
