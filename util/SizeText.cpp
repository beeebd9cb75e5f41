#include "util/SizeText.h"

namespace {

constexpr qint64 kKilo = 1024;
constexpr qint64 kMega = kKilo * 1024;
constexpr qint64 kGiga = kMega * 1024;

// The number part of a size in a unit: three significant figures where they fit.
QString scaledNumber(double value)
{
    if (value >= 100.0) {
        return QString::asprintf("%3.0f", value);
    }
    if (value >= 10.0) {
        return QString::asprintf("%3.1f", value);
    }
    return QString::asprintf("%3.2f", value);
}

} // namespace

QString SizeText(qint64 size)
{
    if (size <= 0) {
        return QStringLiteral("0バイト");
    }
    QString text;
    if (size <= kKilo) {
        text = QString::asprintf("%3.0f", static_cast<double>(size)) + QStringLiteral("バイト");
    } else if (size <= kMega) {
        text = scaledNumber(static_cast<double>(size) / kKilo) + QStringLiteral("KB");
    } else if (size <= kGiga) {
        text = scaledNumber(static_cast<double>(size) / kMega) + QStringLiteral("MB");
    } else {
        text = scaledNumber(static_cast<double>(size) / kGiga) + QStringLiteral("GB");
    }
    return text.trimmed();
}

QString SizeKbText(qint64 size)
{
    // Whole KB rounded up, computed in integers so that sizes near the top of the range stay
    // exact; anything from 1 to 1024 bytes is 1 KB.
    qint64 kilobytes = 0;
    if (size > 0) {
        kilobytes = size / kKilo + (size % kKilo != 0 ? 1 : 0);
    }
    const QString text = GroupedNumberText(kilobytes) + QStringLiteral(" KB");
    return text.rightJustified(12, QLatin1Char(' '));
}

QString GroupedNumberText(qint64 n)
{
    QString digits = QString::number(n);
    const qsizetype firstDigit = digits.startsWith(QLatin1Char('-')) ? 1 : 0;
    for (qsizetype i = digits.size() - 3; i > firstDigit; i -= 3) {
        digits.insert(i, QLatin1Char(','));
    }
    return digits;
}
