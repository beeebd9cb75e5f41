#include "store/metadata/MetadataFile.h"

#include "engine/CryptEngine.h"
#include "util/ErrorText.h"
#include "util/EventPump.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/FileReplace.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"

#include <QDir>
#include <QtEndian>

#include <cerrno>

namespace {

constexpr int HeaderLineMessage = 2; // catalogue B
constexpr int ReadFailed = 284;
constexpr int ReadOnlyNotCleared = 285;
constexpr int WriteFailed = 286;
constexpr int ReadOnlyNotSet = 287;

constexpr int FlagWaitTries = 100;
constexpr int FlagWaitMs = 100;
constexpr int WriteAttempts = 3;
constexpr int WriteRetryMs = 300;

void showFailure(int message, const QString& cause, const QString& path)
{
    ShowMessage(MsgA(message) + cause + QLatin1Char('\n') + QDir::toNativeSeparators(path),
                MessageStyle::error());
}

// Waits while the other side's flag is set, dispatching events; false when it stays set.
bool waitWhileSet(const bool& flag)
{
    for (int i = 0; flag && i < FlagWaitTries; ++i) {
        WaitPumping(FlagWaitMs);
    }
    return !flag;
}

QString causeOf(int error)
{
    return FileExceptionText(FileErrorCauseFromErrno(error));
}

} // namespace

MetadataFlags& MetadataFlags::instance()
{
    static MetadataFlags flags;
    return flags;
}

QString MetadataHeaderLine()
{
    return MsgB(HeaderLineMessage);
}

QByteArray MetadataImage(const QString& text)
{
    qsizetype length = 2 * text.size();
    length += MetadataCipherBlock - length % MetadataCipherBlock;
    QByteArray image(length, '\0');
    qToLittleEndian<char16_t>(text.utf16(), text.size(), image.data());
    return image;
}

int ReadEncipheredText(CryptEngine& engine, const QString& path, const QString& root, QString* text)
{
    MetadataFlags& flags = MetadataFlags::instance();
    if (!waitWhileSet(flags.writing)) {
        return Result::Failed;
    }
    MetadataFlags::Hold reading(flags.reading);

    qint64 size = 0;
    if (FileSize(path, &size) != 0) {
        showFailure(ReadFailed, causeOf(errno), path);
        return Result::Failed;
    }
    QByteArray bytes;
    QString cause;
    if (ReadWholeFile(path, size, &bytes, &cause) != 0) {
        showFailure(ReadFailed, cause, path);
        return Result::Failed;
    }
    if (engine.DecipherBuffer(bytes.data(), bytes.size(), root) != 0) {
        SecureWipe(bytes);
        return Result::Failed;
    }
    // The text ends at the first zero code unit.
    const qsizetype units = bytes.size() / 2;
    QString plain(units, Qt::Uninitialized);
    qFromLittleEndian<char16_t>(bytes.constData(), units, plain.data());
    SecureWipe(bytes);
    const qsizetype end = plain.indexOf(QChar(0));
    if (end >= 0) {
        plain.truncate(end);
    }
    qsizetype kept = plain.size();
    while (kept > 0 && plain[kept - 1] == QLatin1Char(' ')) {
        --kept;
    }
    plain.truncate(kept);
    *text = plain;
    return 0;
}

int WriteEncipheredText(CryptEngine& engine, const QString& path, const QString& text, const QString& root)
{
    MetadataFlags& flags = MetadataFlags::instance();
    if (!waitWhileSet(flags.reading)) {
        return Result::Failed;
    }
    MetadataFlags::Hold writing(flags.writing);

    QString cause;
    const bool existed = FileExists(path) == 0;
    if (existed && SetAttributeBits(path, FileAttribute::ReadOnly, true, &cause) != 0) {
        showFailure(ReadOnlyNotCleared, cause, path);
        return Result::Failed;
    }

    QByteArray image = MetadataImage(text);
    bool written = false;
    if (engine.EncipherBuffer(image.data(), image.size(), root) == 0) {
        for (int attempt = 1; attempt <= WriteAttempts && !written; ++attempt) {
            int error = 0;
            written = ReplaceWholeFile(path, image, &error) == 0;
            if (!written) {
                cause = causeOf(error);
                WaitPumping(WriteRetryMs);
            }
        }
    }
    if (!written) {
        showFailure(WriteFailed, cause, path);
    }

    // A failed first write leaves no file to mark.
    if ((written || existed) && SetAttributeBits(path, FileAttribute::ReadOnly, false, &cause) != 0) {
        showFailure(ReadOnlyNotSet, cause, path);
        return Result::Failed;
    }
    return written ? 0 : -1;
}
