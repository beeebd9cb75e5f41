// A file in the tool format, deciphered with a known key: any bytes.

#include "engine/ContainerCrypt.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzTarget.h"

#include <QFile>

#include <cstdlib>

KURA_FUZZ_TARGET(ToolFormat)
{
    const QString input = Fuzz::ScratchPath(QStringLiteral("input.kbxf2"));
    QFile file(input);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(Fuzz::Bytes(data, size)) < 0) {
        std::abort();
    }
    file.close();
    const QString out = Fuzz::ScratchPath(QStringLiteral("tool.out"));
    if (Fuzz::Crypt().RawDecryptFile(input, out, QStringLiteral("/fuzz")) == 0) {
        // The output is the input's length: whole blocks, deciphered.
        if (size % 16 != 0 || QFile(out).size() != qint64(size)) {
            std::abort();
        }
        QFile::remove(out);
    }
    Fuzz::ClearMessages();
    return 0;
}
