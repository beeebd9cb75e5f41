#include "store/datafiles/DamagedDataFile.h"

#include "engine/CryptEngine.h"
#include "util/DescriptorIo.h"
#include "util/ErrorText.h"
#include "util/FileChanges.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString kindProblem(mode_t mode)
{
    if (S_ISLNK(mode)) {
        return QStringLiteral("ファイルの代わりにシンボリックリンクが置かれています");
    }
    if (S_ISDIR(mode)) {
        return QStringLiteral("ファイルの代わりにフォルダーが置かれています");
    }
    return QStringLiteral("通常のファイルではありません");
}

} // namespace

int ReadRecordFile(CryptEngine& engine, const QString& path, qsizetype recordSize, int maxRecords,
                   int createFailed, const std::function<bool(const QByteArray& record)>& plausible,
                   QByteArray* plain, QString* problem)
{
    plain->clear();
    problem->clear();
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::lstat(native.constData(), &st) != 0) {
        const int error = errno;
        if (error != ENOENT) {
            *problem = QStringLiteral("調べられません（%1）").arg(ErrnoText(error));
            return Result::Ok;
        }
        QString cause;
        if (CreateEmptyFile(path, &cause) != 0) {
            ShowMessage(MsgA(createFailed) + cause + QLatin1Char('\n') + shown(path), MessageStyle::error());
            return Result::Failed;
        }
        return Result::Ok;
    }
    if (!S_ISREG(st.st_mode)) {
        *problem = kindProblem(st.st_mode);
        return Result::Ok;
    }
    const int fd = ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = fd < 0 ? errno : EINVAL;
        if (fd >= 0) {
            ::close(fd);
        }
        *problem = QStringLiteral("読み取れません（%1）").arg(ErrnoText(error));
        return Result::Ok;
    }
    const qint64 size = st.st_size;
    const qint64 limit = qint64(recordSize) * maxRecords;
    qint64 wanted = size;
    if (size > limit) {
        *problem = QStringLiteral("大きすぎます（%1 バイト。正しいファイルは %2 バイト以下です）")
                       .arg(size)
                       .arg(limit);
        wanted = limit;
    } else if (size % recordSize != 0) {
        *problem = QStringLiteral("長さが正しくありません（%1 バイト。%2 バイトの倍数のはずです）")
                       .arg(size)
                       .arg(recordSize);
        wanted = size - size % recordSize;
    }
    QByteArray bytes(wanted, Qt::Uninitialized);
    const qint64 done = wanted > 0 ? ReadUpTo(fd, bytes.data(), wanted) : 0;
    const int readError = errno;
    ::close(fd);
    if (done != wanted) {
        SecureWipe(bytes);
        *problem = QStringLiteral("読み取れません（%1）").arg(ErrnoText(done < 0 ? readError : EIO));
        return Result::Ok;
    }
    if (!bytes.isEmpty() && engine.DecipherWithIntrinsicKey(bytes.data(), bytes.size()) != 0) {
        SecureWipe(bytes);
        if (problem->isEmpty()) {
            *problem = QStringLiteral("復号できません");
        }
        return Result::Ok;
    }
    int refused = 0;
    for (qsizetype at = 0; at + recordSize <= bytes.size(); at += recordSize) {
        const QByteArray record = bytes.mid(at, recordSize);
        if (plausible(record)) {
            plain->append(record);
        } else {
            ++refused;
        }
    }
    SecureWipe(bytes);
    if (problem->isEmpty() && refused > 0) {
        *problem = QStringLiteral("%1 件の記録が読み取れません").arg(refused);
    }
    return Result::Ok;
}

QString NotARegularFile(const QString& path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode)) {
        return QString();
    }
    return kindProblem(st.st_mode);
}

QString DamagedFileName(const QString& path)
{
    return path + QStringLiteral(".damaged-") +
           QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

int SetDamagedFileAside(const QString& path, const QString& problem, const QString& outcome)
{
    QString aside = DamagedFileName(path);
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n) {
        aside = DamagedFileName(path) + QStringLiteral("-%1").arg(n);
    }
    const QByteArray from = QFile::encodeName(path);
    const QByteArray to = QFile::encodeName(aside);
    // renameat2 with RENAME_NOREPLACE is not in every libc of the supported systems; the name
    // was just found free, and the data folder is the user's own.
    if (::rename(from.constData(), to.constData()) != 0) {
        const int error = errno;
        ShowMessage(QStringLiteral("次のデータファイルは壊れています（%1）。\n%2\n\n"
                                   "このファイルを別の名前で残そうとしましたが、できませんでした（%3）。"
                                   "ファイルには何も書き込んでいません。"
                                   "このファイルを別の場所へ移してから、もう一度起動してください。")
                        .arg(problem, shown(path), ErrnoText(error)),
                    MessageStyle::error());
        return Result::Failed;
    }
    struct stat st;
    if (::lstat(to.constData(), &st) == 0 && S_ISREG(st.st_mode)) {
        ::chmod(to.constData(), 0600);
    }
    ShowMessage(QStringLiteral("次のデータファイルは壊れていました（%1）。\n%2\n\n"
                               "壊れたファイルは次の名前で残しました。\n%3\n\n%4")
                    .arg(problem, shown(path), shown(aside), outcome),
                MessageStyle::warning());
    return Result::Ok;
}
