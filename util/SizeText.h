#pragma once

#include <QString>
#include <QtGlobal>

// Text forms of sizes and byte counts. Units are binary: KB = 1024 bytes, MB = 1024 KB,
// GB = 1024 MB.

// A size in the largest unit it exceeds, for dialogs and messages: "0バイト", "512バイト",
// "1024バイト", "1.00KB", "10.0KB", "100KB", "1024KB", "1.00MB", ... Each unit starts one byte
// above the previous unit's full size; zero and negative sizes are "0バイト".
QString SizeText(qint64 size);

// A size in whole KB, rounded up, grouped by commas and right-aligned in 12 characters with
// " KB" behind: "       1 KB", "2,097,152 KB". Longer texts are not cut.
QString SizeKbText(qint64 size);

// The decimal digits of n with a comma between every group of three counted from the right:
// "999", "1,000", "1,234,567,890". A negative number keeps its sign in front: "-1,000".
QString GroupedNumberText(qint64 n);
