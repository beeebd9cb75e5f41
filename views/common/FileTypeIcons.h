#pragma once

#include <QIcon>
#include <QString>

// The desktop's icons for files and folders: by the type the file name's extension stands for
// (shared-mime-info and the icon theme), looked up once per extension. A name without an
// extension, or of a type the desktop does not know, gets the generic file icon.
QIcon IconForFileName(const QString& name);
QIcon FolderIcon();
