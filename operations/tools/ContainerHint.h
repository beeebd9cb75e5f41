#pragma once

#include <QString>
#include <QStringList>

class ContainerCrypt;

// What the hint window shows for the files dropped on it: the password hint an encrypted file
// carries, framed by A-597 and A-598 (no key is needed: the hint is outside the protected part
// of the header). In its place: A-581 for a folder, A-578 for a file that cannot be opened,
// A-579 for a file that is not an encrypted file and A-580 for one whose header cannot be read.
// More than one file is refused with the message box A-577 (information). Returns 0 with the
// text for the window, -1 when the message box was shown. Nothing on disk changes.
int DroppedFileHint(ContainerCrypt& crypt, const QStringList& paths, QString* text);
