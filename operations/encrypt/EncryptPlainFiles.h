#pragma once

#include <QStringList>

class StoreContext;

// "暗号化する": the plain files that lie in a shown folder become containers of it. Each file is
// moved aside into the folder's place in the working folder first (so that its name is free),
// then brought in with a move; a file that could not be brought in is moved back. 0 or -1.
int EncryptPlainFiles(StoreContext& store, const QString& folder, const QStringList& files);
