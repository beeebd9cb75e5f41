// Reading and classifying container headers without decrypting the body.

#include "engine/ContainerCrypt.h"
#include "engine/ContainerFormat.h"
#include "engine/EngineMessages.h"
#include "engine/FileTail.h"
#include "engine/PosixFile.h"
#include "util/ErrorText.h"
#include "util/EventPump.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"
#include "util/TextLists.h"
#include "util/TimeText.h"

#include <QtEndian>

namespace {

constexpr int OpenAttempts = 3;
constexpr int OpenRetryMs = 100;

} // namespace

int ContainerCrypt::ReadContainerInfo(const QString& container, ContainerInfo* info, const QString& slot,
                                      bool reportOpenFailure)
{
    *info = ContainerInfo{};
    info->header = ContainerFormat::UnreadableHeaderImage();
    PosixFile file;
    for (int attempt = 1; !file.openForReading(container); ++attempt) {
        if (attempt == OpenAttempts) {
            if (reportOpenFailure) {
                ShowEngineError(MsgA(384) + ErrnoDetail(file.error(), container));
            }
            return Result::Failed;
        }
        WaitPumping(OpenRetryMs);
    }
    if (!file.seek(0)) {
        ShowEngineError(MsgA(385) + ErrnoDetail(file.error(), container));
        return 0;
    }
    QByteArray image(ContainerFormat::HeaderSize, '\0');
    const qint64 read = file.readFull(image.data(), image.size());
    if (read < 0) {
        ShowEngineError(MsgA(386) + ErrnoDetail(file.error(), container));
        return 0;
    }
    if (read < image.size() || m_engine.DecipherWithIntrinsicKey(image.data(), image.size()) != 0) {
        return 0;
    }
    info->header = image;
    ContainerFormat::Header header;
    ContainerFormat::ParseHeaderImage(image, &header);
    if (!ContainerFormat::HasSignature(header, MsgB(6))) {
        return 0;
    }
    info->fillCount = header.fillCount;
    info->nameBlockLength = header.nameBlockLength;
    info->hint = header.hint;
    info->plainSize = header.plainSize;
    info->reservedText =
        TrimmedRight(QString::fromLatin1(image.mid(ContainerFormat::Offset::ReservedText, 16)));

    bool match = false;
    if (CheckPasswordProbe(header.passwordCheck, slot, false, &match) != 0 || !match) {
        return 0;
    }
    QByteArray tail = header.tailCheck;
    QByteArray times = header.times;
    if (m_engine.DecipherBuffer(tail.data(), tail.size(), slot) != 0 ||
        m_engine.DecipherBuffer(times.data(), times.size(), slot) != 0) {
        return 0;
    }
    info->header.replace(ContainerFormat::Offset::TailCheck, tail.size(), tail);
    info->header.replace(ContainerFormat::Offset::Times, times.size(), times);

    const int length = header.nameBlockLength;
    if (!ContainerFormat::IsValidNameBlockLength(length)) {
        info->header = ContainerFormat::UnreadableHeaderImage();
        return 0;
    }
    QByteArray block(length, '\0');
    const qint64 got = file.readFull(block.data(), length);
    if (got < 0) {
        ShowEngineError(MsgA(387) + ErrnoDetail(file.error(), container));
        return 0;
    }
    QString name;
    if (got < length || m_engine.DecipherBuffer(block.data(), block.size(), slot) != 0 ||
        !ContainerFormat::ParseNameBlock(block, &name)) {
        info->header = ContainerFormat::UnreadableHeaderImage();
        return 0;
    }
    info->nameBlock = block;
    info->nameLength = qint16(name.size());
    info->plainName = name;
    ContainerFormat::ParseTimesPlain(times, &info->encryptionTimeValue, &info->modificationTime);
    // A time no clock can show is given as the raw value it is stored as.
    const auto invalid = [](qint64 value) { return QStringLiteral("invalid (%1)").arg(value); };
    info->encryptedAt = ContainerFormat::EncryptionTimeFromValue(info->encryptionTimeValue).isValid()
                            ? CompactTimeText(QString::number(info->encryptionTimeValue))
                            : invalid(info->encryptionTimeValue);
    info->modifiedAt = ContainerFormat::IsValidModificationTime(info->modificationTime)
                           ? CompactTimeText(QDateTime::fromSecsSinceEpoch(info->modificationTime)
                                                 .toLocalTime()
                                                 .toString(QStringLiteral("yyyyMMddHHmmss")))
                           : invalid(info->modificationTime);
    info->keyMatched = true;
    return 0;
}

int ContainerCrypt::CheckPasswordProbe(const QByteArray& passwordCheckField, const QString& slot,
                                       bool showMessage, bool* match)
{
    *match = false;
    QByteArray probe = passwordCheckField.left(ContainerFormat::PasswordCheckSize);
    if (probe.size() != ContainerFormat::PasswordCheckSize ||
        m_engine.DecipherBuffer(probe.data(), probe.size(), slot) != 0) {
        ShowEngineError(MsgA(388));
        return Result::Failed;
    }
    if (probe == ContainerFormat::PasswordCheckPlain(MsgB(7))) {
        *match = true;
        return 0;
    }
    if (showMessage) {
        ShowMessage(MsgA(389), MessageStyle::warning());
    }
    return Result::Failed;
}

int ContainerCrypt::GetContainerStatus(const QString& container, const QString& slot, ContainerInfo* info,
                                       bool reportOpenFailure, int* status, QString* text)
{
    if (ReadContainerInfo(container, info, slot, reportOpenFailure) != 0) {
        return Result::Failed;
    }
    ContainerFormat::Header header;
    ContainerFormat::ParseHeaderImage(info->header, &header);
    if (!ContainerFormat::HasSignature(header, MsgB(6))) {
        *status = NotAContainer;
        *text = MsgA(423) + QStringLiteral("\n\n") + container;
        return 0;
    }
    if (ContainerFormat::IsNewerFormat(header.version)) {
        *status = NewerFormat;
        *text = MsgA(424) + QStringLiteral("\n\n") + container;
        return 0;
    }
    bool match = false;
    CheckPasswordProbe(header.passwordCheck, slot, false, &match);
    if (match) {
        *status = ContainerReadable;
        text->clear();
    } else {
        *status = OtherKey;
        *text = MsgA(421) + container + MsgA(422) + TrimmedRight(info->hint) + QStringLiteral(" 」です。　");
    }
    return 0;
}

int ContainerCrypt::CompareFileTails(const QString& first, const QString& second, bool compareSizes)
{
    struct Side
    {
        const QString& path;
        int openMessage;
        qint64 size = 0;
        QByteArray tail;
    };
    Side sides[2] = {{first, 442}, {second, 445}};
    for (Side& side : sides) {
        PosixFile file;
        if (!file.openForReading(side.path)) {
            ShowEngineError(MsgA(side.openMessage) + ErrnoDetail(file.error(), side.path));
            return Result::Failed;
        }
        side.size = file.seekToEnd();
        if (side.size < 0) {
            ShowEngineError(MsgA(side.openMessage + 1) + ErrnoDetail(file.error(), side.path));
            return Result::Failed;
        }
        if (ReadFileTail(file.fd(), side.size, &side.tail) != 0) {
            return Result::Failed;
        }
    }
    if (compareSizes && sides[0].size != sides[1].size) {
        ShowEngineError(MsgA(448) + first + QLatin1Char('\n') + second);
        return Result::Failed;
    }
    if (sides[0].tail != sides[1].tail) {
        ShowEngineError(MsgA(449) + first + QLatin1Char('\n') + second);
        return Result::Failed;
    }
    return 0;
}
