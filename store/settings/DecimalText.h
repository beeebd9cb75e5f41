#pragma once

#include <QString>

// Decimal conversion of stored texts: leading white space and a sign, then digits up to the
// first other character. A text that is no number is 0; a value beyond the 32-bit range stops
// at its limit.
int DecimalToInt(const QString& text);
