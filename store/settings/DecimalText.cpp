#include "store/settings/DecimalText.h"

#include <algorithm>
#include <limits>

namespace {

bool isSpace(QChar c)
{
    return c == QLatin1Char(' ') || (c >= QLatin1Char('\t') && c <= QLatin1Char('\r'));
}

} // namespace

int DecimalToInt(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && isSpace(text.at(i))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    qint64 magnitude = 0;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i) {
        magnitude = std::min(limit, magnitude * 10 + (text.at(i).unicode() - u'0'));
    }
    const qint64 value = negative ? -magnitude : magnitude;
    return static_cast<int>(
        std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}
