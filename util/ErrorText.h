#pragma once

#include <QString>

// Text forms of error causes for message boxes.

// Why a file operation failed, in the program's own terms.
enum class FileErrorCause
{
    None = 0,
    Generic = 1,
    FileNotFound = 2,
    BadPath = 3,
    TooManyOpenFiles = 4,
    AccessDenied = 5,
    InvalidFile = 6,
    RemoveCurrentDir = 7,
    DirectoryFull = 8,
    BadSeek = 9,
    HardIO = 10,
    SharingViolation = 11,
    LockViolation = 12,
    DiskFull = 13,
    EndOfFile = 14,
};

// The nearest cause for the errno of a failed file call; anything without a nearer cause is
// Generic.
FileErrorCause FileErrorCauseFromErrno(int error);

// "エラー詳細：" followed by the cause in Japanese, for example "エラー詳細：ファイル アクセス禁止".
QString FileExceptionText(FileErrorCause cause);

// "エラー詳細（ErrNo=2）：No such file or directory": the number as this system defines it and a
// fixed English text for the common errno constants, "エラー内容不明" for any other value.
QString ErrnoText(int error);

// The system's own description of an errno value in the user's language (at most 999
// characters), or an empty text for a number the system does not know.
QString SystemErrorText(int code);
