#pragma once

#include <QString>

// Text from outside (a container's header, a file name) made safe to print on a terminal:
// control characters (C0, DEL and C1) become "\xNN" and a backslash is doubled, so such text
// can neither start an escape sequence nor break a line to forge output. Everything else,
// Japanese text included, stays as it is.
QString TerminalSafe(const QString& text);

// The end of the text that fits in `columns` terminal columns. East Asian wide characters take
// two columns, every other character one.
QString TerminalTail(const QString& text, int columns);
