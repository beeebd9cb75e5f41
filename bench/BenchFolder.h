#pragma once

// A registered folder filled with many small containers for the benchmarks: one small file
// encrypted once, renamed into a few distinct original names, and copied under generated
// container names up to the count.

#include "engine/ContainerCrypt.h"
#include "engine/ContainerFormat.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QUuid>

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void BenchSetupFailed(const char* what)
{
    std::fprintf(stderr, "benchmark set-up failed: %s\n", what);
    std::exit(1);
}

// Fills `root` (whose key slot is set) with `count` containers of `distinct` original names,
// working in `scratch`. Returns the path of the container in the middle of the name order.
inline QString FillBenchFolder(ContainerCrypt& crypt, const QString& scratch, const QString& root, int count,
                               int distinct)
{
    const QString plain = scratch + QStringLiteral("/document.txt");
    QFile source(plain);
    if (!source.open(QIODevice::WriteOnly) || source.write("a small document to be kept encrypted\n") <= 0) {
        BenchSetupFailed("plain file");
    }
    source.close();
    const QString original = scratch + QStringLiteral("/original.kbxf");
    if (crypt.EncryptIntoFolder(plain, original, root) != 0) {
        BenchSetupFailed("encryption");
    }
    QList<QByteArray> images;
    for (int i = 0; i < distinct; ++i) {
        const QString renamed = scratch + QStringLiteral("/renamed.kbxf");
        const QString name = QStringLiteral("document %1.txt").arg(i);
        if (crypt.RenameContainer(original, renamed, name, root, true) != 0) {
            BenchSetupFailed("rename");
        }
        QFile file(renamed);
        if (!file.open(QIODevice::ReadOnly)) {
            BenchSetupFailed("renamed container");
        }
        images.append(file.readAll());
        file.close();
        QFile::remove(renamed);
    }
    for (int i = 0; i < count; ++i) {
        QFile file(root + QLatin1Char('/') + ContainerFormat::ContainerFileName(QUuid::createUuid()));
        const QByteArray& image = images.at(i % distinct);
        if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size()) {
            BenchSetupFailed("container copy");
        }
    }
    return root + QLatin1Char('/') + QDir(root).entryList(QDir::Files, QDir::Name).value(count / 2);
}
