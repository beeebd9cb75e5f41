#include "operations/tools/ContainerHint.h"

#include "engine/ContainerCrypt.h"
#include "engine/ContainerFormat.h"
#include "engine/CryptEngine.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"
#include "util/TextLists.h"

#include <QFileInfo>

namespace {

constexpr int SignatureText = 6; // catalogue B

} // namespace

int DroppedFileHint(ContainerCrypt& crypt, const QStringList& paths, QString* text)
{
    text->clear();
    if (paths.size() > 1) {
        ShowMessage(MsgA(577), MessageStyle::information());
        return Result::Failed;
    }
    if (paths.isEmpty()) {
        return Result::Failed;
    }
    const QFileInfo file(paths.first());
    if (file.isDir()) {
        *text = MsgA(581);
        return Result::Ok;
    }
    // The password check is made against the program's own key, which no container uses: only
    // the header's open fields are read.
    ContainerInfo info;
    if (crypt.ReadContainerInfo(file.filePath(), &info, CryptEngine::IntrinsicSlotName, false) !=
        Result::Ok) {
        *text = MsgA(578);
        return Result::Ok;
    }
    ContainerFormat::Header header;
    if (ContainerFormat::ParseHeaderImage(info.header, &header) &&
        ContainerFormat::HasSignature(header, MsgB(SignatureText))) {
        *text = MsgA(597) + TrimmedRight(info.hint) + MsgA(598);
        return Result::Ok;
    }
    // A file long enough for a header that still gave none could not be read.
    const bool unread =
        info.header == ContainerFormat::UnreadableHeaderImage() && file.size() >= ContainerFormat::HeaderSize;
    *text = MsgA(unread ? 580 : 579);
    return Result::Ok;
}
