#pragma once

#include <QString>

#include <functional>

// Names the program gives to what it creates, and the tokens that keep stored paths
// independent of the user's home.

// A fresh 6-character folder name (GUID digits) that no folder in parent has; A-452 on failure.
int ShortFolderName(const QString& parent, QString* name);
// "新しいフォルダー", then "新しいフォルダー (2)", "(3)", …: the first that is no folder in parent.
QString NewFolderName(const QString& parent);
// base + " - コピー", then base + " - コピー (2)", …: the first that is no folder in parent.
QString CopyName(const QString& parent, const QString& base);
// The same sequence for a file, the extension kept behind the counter ("a - コピー (2).txt");
// taken is asked which candidate names are in use.
QString CopyFileName(const QString& fileName, const std::function<bool(const QString&)>& taken);

// Stored paths: a path in the documents folder starts with "[CSIDL_PERSONAL]", one on the
// desktop with "[CSIDL_DESKTOPDIRECTORY]"; decoding puts the current folders back.
inline const QString DocumentsToken = QStringLiteral("[CSIDL_PERSONAL]");
inline const QString DesktopToken = QStringLiteral("[CSIDL_DESKTOPDIRECTORY]");
QString EncodeSpecialFolderPath(const QString& path);
QString DecodeSpecialFolderPath(const QString& path);
