#include "engine/FileTail.h"

#include "engine/EngineMessages.h"
#include "util/ErrorText.h"
#include "util/MessageText.h"

#include <cerrno>
#include <unistd.h>

int ReadFileTail(int fd, qint64 size, QByteArray* tail)
{
    const qint64 want = size >= 16 ? 16 : size;
    if (::lseek(fd, size - want, SEEK_SET) < 0) {
        ShowEngineError(MsgA(361) + ErrnoText(errno));
        return -7;
    }
    QByteArray bytes(16, '\0');
    for (qint64 done = 0; done < want;) {
        const ssize_t n = ::read(fd, bytes.data() + done, size_t(want - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ShowEngineError(MsgA(362));
            return -7;
        }
        done += n;
    }
    *tail = bytes;
    return 0;
}
