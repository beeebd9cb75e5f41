// Runs saved inputs through a fuzz target without the fuzzer: kura_fuzz_replay TARGET PATH...,
// each PATH a file or a folder of files. Exits 0 when every input ran; a failing input crashes
// or trips a sanitizer as it would under the fuzzer.

#include "fuzz/FuzzTarget.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>

#include <cstdio>

namespace {

QMap<QByteArray, FuzzFunction>& targets()
{
    static QMap<QByteArray, FuzzFunction> table;
    return table;
}

} // namespace

bool RegisterFuzzTarget(const char* name, FuzzFunction function)
{
    targets().insert(name, function);
    return true;
}

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc < 3 || !targets().contains(argv[1])) {
        std::fprintf(stderr, "usage: kura_fuzz_replay TARGET PATH...\ntargets:");
        for (const QByteArray& name : targets().keys()) {
            std::fprintf(stderr, " %s", name.constData());
        }
        std::fprintf(stderr, "\n");
        return 2;
    }
    const FuzzFunction run = targets().value(argv[1]);
    int count = 0;
    for (int i = 2; i < argc; ++i) {
        QStringList files;
        const QString path = QFile::decodeName(argv[i]);
        if (QFileInfo(path).isDir()) {
            QDirIterator it(path, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                files.append(it.next());
            }
            files.sort();
        } else {
            files.append(path);
        }
        for (const QString& file : files) {
            QFile input(file);
            if (!input.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(file));
                return 1;
            }
            const QByteArray bytes = input.readAll();
            run(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                static_cast<std::size_t>(bytes.size()));
            ++count;
        }
    }
    std::printf("%s: %d inputs replayed\n", argv[1], count);
    return count > 0 ? 0 : 1;
}
