#include "engine/FileTail.h"

#include "engine/EngineMessages.h"
#include "util/DescriptorIo.h"
#include "util/ErrorText.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"

#include <cerrno>
#include <unistd.h>

int ReadFileTail(int fd, qint64 size, QByteArray* tail)
{
    const qint64 want = size >= 16 ? 16 : size;
    if (::lseek(fd, size - want, SEEK_SET) < 0) {
        ShowEngineError(MsgA(361) + ErrnoText(errno));
        return Result::ReadError;
    }
    QByteArray bytes(16, '\0');
    if (ReadUpTo(fd, bytes.data(), want) != want) {
        ShowEngineError(MsgA(362));
        return Result::ReadError;
    }
    *tail = bytes;
    return 0;
}
