#include "store/checks/ContainerChecks.h"

#include "store/metadata/FolderEntries.h"
#include "util/FileQueries.h"
#include "util/MessageText.h"
#include "util/PathText.h"
#include "util/ResultCodes.h"
#include "util/StringTable.h"

namespace {

constexpr unsigned int ProductNameText = 57344;

QString withoutTrailingSpaces(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace()) {
        --end;
    }
    return text.left(end);
}

} // namespace

int ContainerChecks::StatusOf(const QString& path, const QString& key, ContainerInfo* info, QString* text)
{
    QString statusText;
    int status = NotAContainer;
    // Without the folder's key in the engine, the program's own key stands in: it tells a
    // container from a plain file, and no folder's container opens with it.
    const bool haveKey = m_crypt.engine().IsKeySlotSet(key) == 0;
    const QString slot = haveKey ? key : CryptEngine::IntrinsicSlotName;
    if (m_crypt.GetContainerStatus(path, slot, info, false, &status, &statusText) != 0) {
        return Result::Failed;
    }
    if (!haveKey && status == ContainerReadable) {
        status = OtherKey;
        info->keyMatched = false;
        info->plainName.clear();
    }
    if (text) {
        *text = statusText;
    }
    return status;
}

int ContainerChecks::DisplayNameOf(const QString& path, const QString& key, QString* name)
{
    *name = FileNamePart(path);
    if (DirectoryExists(path) == 0) {
        return 0;
    }
    ContainerInfo info;
    if (StatusOf(path, key, &info) != ContainerReadable) {
        return 2;
    }
    if (!IsSingleFileName(info.plainName)) {
        return Result::Failed;
    }
    *name = info.plainName;
    return 0;
}

int ContainerChecks::IsReadableContainer(const QString& path, const QString& key, int* otherKey)
{
    if (otherKey) {
        *otherKey = 0;
    }
    ContainerInfo info;
    const int status = StatusOf(path, key, &info);
    if (status == ContainerReadable) {
        return 0;
    }
    if (otherKey && (status == NewerFormat || status == OtherKey)) {
        *otherKey = 1;
    }
    return Result::Failed;
}

int ContainerChecks::AllContainersReadable(const QString& folder, const QString& key, QString* failingPath)
{
    QList<FolderEntry> entries;
    ListFolderEntries(folder, &entries);
    for (const FolderEntry& entry : entries) {
        if (entry.isFolder) {
            if (AllContainersReadable(entry.path, key, failingPath) != 0) {
                return Result::Failed;
            }
        } else if (IsReadableContainer(entry.path, key) != 0) {
            *failingPath = entry.path;
            return Result::Failed;
        }
    }
    return 0;
}

int ContainerChecks::ReadHintOfFile(const QString& path, QString* hint, QString* errorText)
{
    hint->clear();
    errorText->clear();
    int otherKey = 0;
    if (IsReadableContainer(path, QString(), &otherKey) != 0 && otherKey != 1) {
        *errorText = QStringLiteral("このファイルは") + LoadText(ProductNameText) + MsgA(331);
        return Result::Failed;
    }
    ContainerInfo info;
    QString text;
    const int status = StatusOf(path, QString(), &info, &text);
    if (status < 0) {
        return 0;
    }
    if (status == NotAContainer || status == NewerFormat) {
        *errorText = text;
        return Result::Failed;
    }
    *hint = withoutTrailingSpaces(info.hint);
    return 0;
}
