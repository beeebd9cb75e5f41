#pragma once

#include <QString>

// Texts that more than one kbx command shows, each in both languages in one place.

// The prompt for an existing password.
QString PasswordPrompt();

// Progress labels of the engine operations on the file `name`.
QString EncryptingLabel(const QString& name);
QString DecryptingLabel(const QString& name);
QString CheckingLabel(const QString& name);

// The help of --force for a command that writes one output file.
QString ReplaceTargetHelp();

// Refusals about `path`.
QString NotAFolderText(const QString& path);
QString FolderUnreadableText(const QString& path);
QString DecryptOntoItselfText(const QString& path);
