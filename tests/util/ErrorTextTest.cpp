#include "util/ErrorText.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>

namespace {

const QString kUnknown = QString::fromUtf8("エラー内容不明");

} // namespace

TEST(ErrorTextTest, FileExceptionTextNamesEveryCause)
{
    EXPECT_EQ(FileExceptionText(FileErrorCause::None), QString::fromUtf8("エラー詳細：エラーなし"));
    EXPECT_EQ(FileExceptionText(FileErrorCause::AccessDenied),
              QString::fromUtf8("エラー詳細：ファイル アクセス禁止"));
    EXPECT_EQ(FileExceptionText(FileErrorCause::SharingViolation),
              QString::fromUtf8("エラー詳細：SHARE.EXE 未ロードまたは共有領域ロック済み"));
    EXPECT_EQ(FileExceptionText(FileErrorCause::EndOfFile),
              QString::fromUtf8("エラー詳細：ファイルの終わりに到達"));

    // Each of the 15 causes has a text of its own; anything else is the unknown text.
    std::set<QString> texts;
    for (int cause = 0; cause <= 14; ++cause) {
        const QString text = FileExceptionText(static_cast<FileErrorCause>(cause));
        EXPECT_FALSE(text.endsWith(kUnknown)) << cause;
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), 15u);
    EXPECT_EQ(FileExceptionText(static_cast<FileErrorCause>(15)),
              QString::fromUtf8("エラー詳細：") + kUnknown);
    EXPECT_EQ(FileExceptionText(static_cast<FileErrorCause>(-1)),
              QString::fromUtf8("エラー詳細：") + kUnknown);
}

TEST(ErrorTextTest, CauseFromErrno)
{
    const std::pair<int, FileErrorCause> cases[] = {
        {ENOENT, FileErrorCause::FileNotFound},
        {EACCES, FileErrorCause::AccessDenied},
        {EPERM, FileErrorCause::AccessDenied},
        {ENOSPC, FileErrorCause::DiskFull},
        {EDQUOT, FileErrorCause::DiskFull},
        {EMFILE, FileErrorCause::TooManyOpenFiles},
        {ENFILE, FileErrorCause::TooManyOpenFiles},
        {ENOTDIR, FileErrorCause::BadPath},
        {ENAMETOOLONG, FileErrorCause::BadPath},
        {EINVAL, FileErrorCause::BadPath},
        {EIO, FileErrorCause::HardIO},
        {ESPIPE, FileErrorCause::BadSeek},
        {EBUSY, FileErrorCause::SharingViolation},
        {ETXTBSY, FileErrorCause::SharingViolation},
        {EDEADLK, FileErrorCause::LockViolation},
        {ENOLCK, FileErrorCause::LockViolation},
        {EEXIST, FileErrorCause::Generic},
        {0, FileErrorCause::Generic},
        {-1, FileErrorCause::Generic},
    };
    for (const auto& [error, cause] : cases) {
        EXPECT_EQ(FileErrorCauseFromErrno(error), cause) << error;
    }
}

TEST(ErrorTextTest, ErrnoTextShowsThisSystemsNumber)
{
    const std::pair<int, const char*> cases[] = {
        {ENOENT, "エラー詳細（ErrNo=2）：No such file or directory"},
        {EAGAIN,
         "エラー詳細（ErrNo=11）：No more processes or not enough memory or maximum nesting level reached"},
        // Numbers that differ from other platforms' runtime libraries.
        {EDEADLK, "エラー詳細（ErrNo=35）：Resource deadlock would occur"},
        {ENAMETOOLONG, "エラー詳細（ErrNo=36）：Filename too long"},
        {ENOLCK, "エラー詳細（ErrNo=37）：No locks available"},
        {ENOSYS, "エラー詳細（ErrNo=38）：Function not supported"},
        {ENOTEMPTY, "エラー詳細（ErrNo=39）：Directory not empty"},
        {EILSEQ, "エラー詳細（ErrNo=84）：Illegal byte sequence"},
        // No text of its own, whatever the number means here.
        {80, "エラー詳細（ErrNo=80）：エラー内容不明"},
        {0, "エラー詳細（ErrNo=0）：エラー内容不明"},
        {-1, "エラー詳細（ErrNo=-1）：エラー内容不明"},
    };
    for (const auto& [error, expected] : cases) {
        EXPECT_EQ(ErrnoText(error), QString::fromUtf8(expected)) << error;
    }
}

TEST(ErrorTextTest, ErrnoTextKnowsEveryListedConstant)
{
    const int known[] = {EPERM,   ENOENT,       ESRCH,   EINTR,  EIO,       ENXIO,  E2BIG,  ENOEXEC,
                         EBADF,   ECHILD,       EAGAIN,  ENOMEM, EACCES,    EFAULT, EBUSY,  EEXIST,
                         EXDEV,   ENODEV,       ENOTDIR, EISDIR, EINVAL,    ENFILE, EMFILE, ENOTTY,
                         EFBIG,   ENOSPC,       ESPIPE,  EROFS,  EMLINK,    EPIPE,  EDOM,   ERANGE,
                         EDEADLK, ENAMETOOLONG, ENOLCK,  ENOSYS, ENOTEMPTY, EILSEQ};
    std::set<QString> texts;
    for (const int error : known) {
        const QString text = ErrnoText(error);
        EXPECT_FALSE(text.endsWith(kUnknown)) << error;
        texts.insert(text.mid(text.indexOf(QChar(0xFF1A)) + 1));
    }
    EXPECT_EQ(texts.size(), std::size(known));
}

TEST(ErrorTextTest, SystemErrorTextComesFromTheSystem)
{
    const QString text = SystemErrorText(ENOENT);
    EXPECT_FALSE(text.isEmpty());
    EXPECT_LE(text.size(), 999);
    EXPECT_NE(text, SystemErrorText(EACCES));
    EXPECT_EQ(SystemErrorText(99999), QString());
    EXPECT_EQ(SystemErrorText(-1), QString());
}
