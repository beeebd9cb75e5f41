#include "util/ErrorText.h"

#include <cerrno>
#include <cstring>

namespace {

const char16_t* const kUnknownCause = u"エラー内容不明";

constexpr qsizetype kMaxSystemTextLength = 999;

const char16_t* causeText(FileErrorCause cause)
{
    switch (cause) {
    case FileErrorCause::None:
        return u"エラーなし";
    case FileErrorCause::Generic:
        return u"未定義エラー";
    case FileErrorCause::FileNotFound:
        return u"ファイル未定義";
    case FileErrorCause::BadPath:
        return u"不正パス";
    case FileErrorCause::TooManyOpenFiles:
        return u"オープン ファイル数超過";
    case FileErrorCause::AccessDenied:
        return u"ファイル アクセス禁止";
    case FileErrorCause::InvalidFile:
        return u"不正ファイル ハンドル使用";
    case FileErrorCause::RemoveCurrentDir:
        return u"作業中のカレント ディレクトリの削除不可";
    case FileErrorCause::DirectoryFull:
        return u"ディレクトリ フル";
    case FileErrorCause::BadSeek:
        return u"ファイル ポインタ設定エラー";
    case FileErrorCause::HardIO:
        return u"ハードウェア エラー";
    case FileErrorCause::SharingViolation:
        return u"SHARE.EXE 未ロードまたは共有領域ロック済み";
    case FileErrorCause::LockViolation:
        return u"ロック済み領域のロック要求";
    case FileErrorCause::DiskFull:
        return u"ディスク フル";
    case FileErrorCause::EndOfFile:
        return u"ファイルの終わりに到達";
    }
    return kUnknownCause;
}

const char16_t* errnoText(int error)
{
    switch (error) {
    case EPERM:
        return u"Operation not permitted";
    case ENOENT:
        return u"No such file or directory";
    case ESRCH:
        return u"No such process";
    case EINTR:
        return u"Interrupted function";
    case EIO:
        return u"I/O error";
    case ENXIO:
        return u"No such device or address";
    case E2BIG:
        return u"Argument list too long";
    case ENOEXEC:
        return u"Exec format error";
    case EBADF:
        return u"Bad file number";
    case ECHILD:
        return u"No spawned processes";
    case EAGAIN:
        return u"No more processes or not enough memory or maximum nesting level reached";
    case ENOMEM:
        return u"Not enough memory";
    case EACCES:
        return u"Permission denied";
    case EFAULT:
        return u"Bad address";
    case EBUSY:
        return u"Device or resource busy";
    case EEXIST:
        return u"File exists";
    case EXDEV:
        return u"Cross-device link";
    case ENODEV:
        return u"No such device";
    case ENOTDIR:
        return u"Not a directory";
    case EISDIR:
        return u"Is a directory";
    case EINVAL:
        return u"Invalid argument";
    case ENFILE:
        return u"Too many files open in system";
    case EMFILE:
        return u"Too many open files";
    case ENOTTY:
        return u"Inappropriate I/O control operation";
    case EFBIG:
        return u"File too large";
    case ENOSPC:
        return u"No space left on device";
    case ESPIPE:
        return u"Invalid seek";
    case EROFS:
        return u"Read-only file system";
    case EMLINK:
        return u"Too many links";
    case EPIPE:
        return u"Broken pipe";
    case EDOM:
        return u"Math argument";
    case ERANGE:
        return u"Result too large";
    case EDEADLK:
        return u"Resource deadlock would occur";
    case ENAMETOOLONG:
        return u"Filename too long";
    case ENOLCK:
        return u"No locks available";
    case ENOSYS:
        return u"Function not supported";
    case ENOTEMPTY:
        return u"Directory not empty";
    case EILSEQ:
        return u"Illegal byte sequence";
    default:
        return kUnknownCause;
    }
}

// strerror_r comes in two forms: the GNU one returns the text, the POSIX one fills the buffer
// and returns 0 on success.
[[maybe_unused]] const char* strerrorResult(const char* result, const char*)
{
    return result;
}

[[maybe_unused]] const char* strerrorResult(int result, const char* buffer)
{
    return result == 0 ? buffer : nullptr;
}

} // namespace

FileErrorCause FileErrorCauseFromErrno(int error)
{
    switch (error) {
    case ENOENT:
        return FileErrorCause::FileNotFound;
    case EACCES:
    case EPERM:
        return FileErrorCause::AccessDenied;
    case ENOSPC:
    case EDQUOT:
        return FileErrorCause::DiskFull;
    case EMFILE:
    case ENFILE:
        return FileErrorCause::TooManyOpenFiles;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
        return FileErrorCause::BadPath;
    case EIO:
        return FileErrorCause::HardIO;
    case ESPIPE:
        return FileErrorCause::BadSeek;
    case EBUSY:
    case ETXTBSY:
        return FileErrorCause::SharingViolation;
    case EDEADLK:
    case ENOLCK:
        return FileErrorCause::LockViolation;
    default:
        return FileErrorCause::Generic;
    }
}

QString FileExceptionText(FileErrorCause cause)
{
    return QStringLiteral("エラー詳細：") + QString::fromUtf16(causeText(cause));
}

QString ErrnoText(int error)
{
    return QStringLiteral("エラー詳細（ErrNo=") + QString::number(error) + QStringLiteral("）：") +
           QString::fromUtf16(errnoText(error));
}

QString SystemErrorText(int code)
{
    // glibc describes every number, unknown ones as "Unknown error N"; a number without a
    // symbolic name is one the system has no description for.
    if (strerrorname_np(code) == nullptr) {
        return {};
    }
    char buffer[1024] = {};
    const char* text = strerrorResult(strerror_r(code, buffer, sizeof buffer), buffer);
    if (text == nullptr) {
        return {};
    }
    return QString::fromLocal8Bit(text).left(kMaxSystemTextLength);
}
