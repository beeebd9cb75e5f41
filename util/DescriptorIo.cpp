#include "util/DescriptorIo.h"

#include "util/ResultCodes.h"

#include <cerrno>
#include <unistd.h>

qint64 ReadUpTo(int fd, void* buffer, qint64 length)
{
    auto* out = static_cast<char*>(buffer);
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::read(fd, out + done, static_cast<size_t>(length - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return Result::Failed;
        }
        if (n == 0) {
            break;
        }
        done += n;
    }
    return done;
}

bool WriteAll(int fd, const void* buffer, qint64 length)
{
    const auto* in = static_cast<const char*>(buffer);
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::write(fd, in + done, static_cast<size_t>(length - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        done += n;
    }
    return true;
}
