#pragma once

// Containers for tests, made by the real engine.

#include "engine/ContainerCrypt.h"
#include "engine/ContainerNaming.h"
#include "support/TestFiles.h"

#include <QFile>

// Encrypts `bytes` under the original name `plainName` into `folder` with the key of `slot`,
// under a fresh container name, going through a plain file in `scratch`. Returns the
// container's path.
inline QString EncryptTestFile(ContainerCrypt& crypt, const QString& scratch, const QString& folder,
                               const QString& plainName, const QString& slot, const QByteArray& bytes)
{
    const QString source = scratch + QLatin1Char('/') + plainName;
    WriteTestFile(source, bytes);
    QString name;
    EXPECT_EQ(ContainerName(folder, &name), 0);
    const QString container = folder + QLatin1Char('/') + name;
    EXPECT_EQ(crypt.EncryptIntoFolder(source, container, slot), 0);
    QFile::remove(source);
    return container;
}
