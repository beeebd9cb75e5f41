#pragma once

#include <QString>

// Passwords for kbx. On a terminal they are typed without echo after a prompt on standard
// error; otherwise the first line of standard input is the password (its line break, and a
// carriage return before it, are not part of it). Nothing beyond that line is read, so a
// script can feed the tool and keep the rest of its input.
//
// Both return 0, or -1 after reporting why no password could be read.

int ReadPassword(const QString& prompt, QString* password);

// A new password: typed twice on a terminal, and both entries must be equal; read once from a
// first line otherwise.
int ReadNewPassword(const QString& prompt, QString* password);
