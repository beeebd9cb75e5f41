#include "store/datafiles/CheckBlock.h"

#include "engine/CryptEngine.h"
#include "store/datafiles/RecordFields.h"
#include "util/ResultCodes.h"

namespace CheckBlock {

namespace {

constexpr qsizetype TextBytes = 128;

} // namespace

QByteArray PlainBlock(const QString& text)
{
    QByteArray block(Size, 0);
    block.replace(0, TextBytes, RecordField::Utf16Prefix(text, TextBytes));
    return block;
}

int Make(CryptEngine& engine, const QString& password, const QString& text, QByteArray* block)
{
    const QString slot = engine.SetTemporaryKey(password, QString());
    if (slot.isEmpty()) {
        return Result::Failed;
    }
    QByteArray out = PlainBlock(text);
    if (engine.EncipherBuffer(out.data(), out.size(), slot) != 0) {
        return Result::Failed;
    }
    *block = out;
    return 0;
}

int Open(CryptEngine& engine, const QString& password, const QByteArray& block, QByteArray* plain)
{
    const QString slot = engine.SetTemporaryKey(password, QString());
    if (slot.isEmpty()) {
        return Result::Failed;
    }
    QByteArray out = block.left(Size);
    out.detach();
    if (out.size() != Size || engine.DecipherBuffer(out.data(), out.size(), slot) != 0) {
        return Result::Failed;
    }
    *plain = out;
    return 0;
}

} // namespace CheckBlock
