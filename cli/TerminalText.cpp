#include "cli/TerminalText.h"

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
