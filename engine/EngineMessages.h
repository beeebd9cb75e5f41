#pragma once

#include <QString>

// How the engine composes and shows its failure messages.

// A failure box: error icon, product caption.
void ShowEngineError(const QString& text);
// The errno text, a blank line and the path: the detail most engine messages end with.
QString ErrnoDetail(int error, const QString& path);
// zlib's own text of the stream's last failure.
QString ZlibText(const char* message);
