#include "store/datafiles/RegisteredFolderTable.h"

#include "engine/CryptEngine.h"
#include "store/datafiles/CheckBlock.h"
#include "store/datafiles/DamagedDataFile.h"
#include "store/datafiles/EncipheredDataFile.h"
#include "store/datafiles/RecordFields.h"
#include "store/settings/DecimalText.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/NamingRules.h"
#include "util/PathText.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"

#include <QDir>

#include <algorithm>

namespace {

constexpr int FolderCheckText = 31; // catalogue B
constexpr int NoLocationMarker = 4; // catalogue B

constexpr DataFileMessages FolderFileMessages = {550, 551, 552, 554};

using Layout = RegisteredFolderTable::Layout;

// One path lies inside the other, either way round.
bool inPrefixRelation(const QString& a, const QString& b)
{
    return !a.isEmpty() && !b.isEmpty() && (PathIsInside(a, b) || PathIsInside(b, a));
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

void showError(const QString& text)
{
    ShowMessage(text, MessageStyle::error());
}

QString rootOf(const QByteArray& record)
{
    return RecordField::GetText(record, Layout::RootPath, Layout::PathChars);
}

void putRoot(QByteArray& record, const QString& root)
{
    RecordField::PutZeroFilledText(record, Layout::RootPath, Layout::PathChars, root);
}

quint8 flagByte(const QString& decimal)
{
    return static_cast<quint8>(DecimalToInt(decimal));
}

} // namespace

RegisteredFolderTable::RegisteredFolderTable(CryptEngine& engine, const QString& dataFolder,
                                             std::function<QString()> workingFolder)
    : m_engine(engine), m_dataFolder(dataFolder), m_workingFolder(std::move(workingFolder))
{
    clear();
}

QString RegisteredFolderTable::FilePath() const
{
    return m_dataFolder + QStringLiteral("/kbxcl_folder.dat");
}

void RegisteredFolderTable::clear()
{
    for (Slot& s : m_slots) {
        s = Slot();
        s.record = QByteArray(RecordSize, 0);
    }
    m_count = 0;
}

void RegisteredFolderTable::derive(Slot& s) const
{
    const auto byteAt = [&s](qsizetype offset) { return static_cast<quint8>(s.record.at(offset)); };
    s.rootPath = rootOf(s.record);
    s.readOnlyText = QString::number(byteAt(Layout::ReadOnly));
    s.storeName = RecordField::GetText(s.record, Layout::StoreName, Layout::PathChars);
    s.autoReleaseText = QString::number(byteAt(Layout::AutoRelease));
    s.driveType = byteAt(Layout::DriveType);
}

int RegisteredFolderTable::LoadRegisteredFolders()
{
    m_loaded = false;
    clear();
    QByteArray plain;
    QString problem;
    if (ReadRecordFile(m_engine, FilePath(), RecordSize, MaxFolders, FolderFileMessages.createFailed,
                       IsPlausibleRecord, &plain, &problem) != 0) {
        return Result::Failed;
    }
    for (qsizetype at = 0; at + RecordSize <= plain.size(); at += RecordSize) {
        m_slots[static_cast<std::size_t>(m_count)].record = plain.mid(at, RecordSize);
        ++m_count;
    }
    SecureWipe(plain);
    if (!problem.isEmpty()) {
        const QString kept =
            m_count > 0 ? QStringLiteral("読み取れた %1 件の暗号フォルダーの登録で起動します。").arg(m_count)
                        : QStringLiteral("暗号フォルダーの登録は読み取れませんでした。");
        const QString outcome =
            kept + QStringLiteral("登録が消えた暗号フォルダーとその中のファイルはそのまま残っています。"
                                  "そのフォルダーをもう一度登録すると、元のパスワードで元どおり使えます。");
        if (SetDamagedFileAside(FilePath(), problem, outcome) != 0) {
            clear();
            return Result::Failed;
        }
    }
    for (Slot& s : m_slots) {
        const QString root = rootOf(s.record);
        if (!root.isEmpty()) {
            putRoot(s.record, FromStoredPath(root));
        }
        derive(s);
    }
    m_loaded = true;
    // The sound records take the damaged file's place.
    if (!problem.isEmpty()) {
        SaveRegisteredFolders();
    }
    return 0;
}

bool RegisteredFolderTable::IsPlausibleRecord(const QByteArray& record)
{
    if (record.size() != RecordSize) {
        return false;
    }
    const auto byteAt = [&record](qsizetype offset) { return static_cast<quint8>(record.at(offset)); };
    if (byteAt(Layout::ReadOnly) > 1 || byteAt(Layout::AutoRelease) > 1 || byteAt(Layout::DriveType) > 6) {
        return false;
    }
    const QByteArray check = record.mid(Layout::CheckBlock, CheckBlock::Size);
    if (check.count('\0') == check.size()) {
        return false;
    }
    // A text field: its characters up to the first zero (what follows it is not looked at, as
    // records of other writers may hold anything there), without control characters or broken
    // surrogate pairs.
    const auto plausibleText = [&record](qsizetype offset, qsizetype chars, QString* text) {
        const QString field =
            QString::fromUtf16(reinterpret_cast<const char16_t*>(record.constData() + offset), chars);
        const qsizetype end = field.indexOf(QChar(0));
        *text = end < 0 ? field : field.left(end);
        if (!text->isValidUtf16()) {
            return false;
        }
        return std::none_of(text->cbegin(), text->cend(),
                            [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
    };
    QString root;
    QString hint;
    QString storeName;
    if (!plausibleText(Layout::RootPath, Layout::PathChars, &root) ||
        !plausibleText(Layout::Hint, Layout::HintChars, &hint) ||
        !plausibleText(Layout::StoreName, Layout::PathChars, &storeName)) {
        return false;
    }
    const QString path = FromStoredPath(root);
    return path.startsWith(QLatin1Char('/')) && !storeName.contains(QLatin1Char('/')) &&
           storeName != QLatin1String(".") && storeName != QLatin1String("..");
}

int RegisteredFolderTable::SaveRegisteredFolders()
{
    if (!m_loaded) {
        showError(MsgA(553));
        return Result::Failed;
    }
    QByteArray plain;
    for (int i = 0; i < m_count; ++i) {
        Slot& s = m_slots[static_cast<std::size_t>(i)];
        const QString root = rootOf(s.record);
        if (root.isEmpty()) {
            continue;
        }
        putRoot(s.record, ToStoredPath(root));
        plain += s.record;
    }
    return SaveDataFile(m_engine, FilePath(), FolderFileMessages, plain);
}

int RegisteredFolderTable::AddRegisteredFolder(const QString& rootPath, const QString& hint,
                                               const QString& password, const QString& readOnlyText,
                                               const QString& storeName, const QString& autoReleaseText,
                                               int driveType)
{
    if (m_count >= MaxFolders) {
        return Result::Failed;
    }
    QByteArray record(RecordSize, 0);
    RecordField::PutSpaceFilledText(record, Layout::Hint, Layout::HintChars, hint);
    RecordField::Fill(record, Layout::Reserved, RecordSize - Layout::Reserved, 0x20);
    putRoot(record, rootPath);
    RecordField::PutText(record, Layout::StoreName, Layout::PathChars, storeName);
    record[Layout::ReadOnly] = static_cast<char>(flagByte(readOnlyText));
    record[Layout::AutoRelease] = static_cast<char>(flagByte(autoReleaseText));
    record[Layout::DriveType] = static_cast<char>(driveType);

    QByteArray block;
    if (CheckBlock::Make(m_engine, password, MsgB(FolderCheckText), &block) != 0) {
        return Result::Failed;
    }
    record.replace(Layout::CheckBlock, CheckBlock::Size, block);

    Slot& s = m_slots[static_cast<std::size_t>(m_count)];
    s.record = record;
    derive(s);
    ++m_count;
    if (SaveRegisteredFolders() != 0) {
        // Memory keeps matching the file: the folder is not registered.
        --m_count;
        s = Slot();
        s.record = QByteArray(RecordSize, 0);
        return Result::Failed;
    }
    return 0;
}

int RegisteredFolderTable::UnregisterFolder(const QString& rootPath)
{
    bool found = false;
    for (Slot& s : m_slots) {
        if (!s.rootPath.isEmpty() && s.rootPath == rootPath) {
            putRoot(s.record, QString());
            s.rootPath.clear();
            found = true;
        }
    }
    if (!found) {
        showError(MsgA(555) + shown(rootPath));
        return Result::Failed;
    }
    return SaveRegisteredFolders();
}

int RegisteredFolderTable::IsRegistered(const QString& rootPath) const
{
    return lastSlotWithRoot(rootPath) >= 0 ? 0 : -1;
}

int RegisteredFolderTable::firstRelatedSlot(const QString& path) const
{
    for (int i = 0; i < MaxFolders; ++i) {
        if (inPrefixRelation(m_slots[static_cast<std::size_t>(i)].rootPath, path)) {
            return i;
        }
    }
    return -1;
}

int RegisteredFolderTable::lastSlotWithRoot(const QString& root) const
{
    int found = -1;
    for (int i = 0; i < MaxFolders; ++i) {
        const QString& slotRoot = m_slots[static_cast<std::size_t>(i)].rootPath;
        if (!slotRoot.isEmpty() && slotRoot == root) {
            found = i;
        }
    }
    return found;
}

QString RegisteredFolderTable::FindRegisteredRoot(const QString& path, int warn) const
{
    const int i = firstRelatedSlot(path);
    if (i < 0) {
        if (warn == 1) {
            ShowMessage(MsgA(300) + shown(path), MessageStyle::warning());
        }
        return {};
    }
    return slot(i).rootPath;
}

QString RegisteredFolderTable::storeFolderOfSlot(const Slot& s) const
{
    return (m_workingFolder ? m_workingFolder() : QString()) + QLatin1Char('/') + s.storeName;
}

QString RegisteredFolderTable::StoreFolderOf(const QString& root) const
{
    const int i = firstRelatedSlot(root);
    if (i < 0) {
        showError(MsgA(303) + shown(root));
        return MsgB(NoLocationMarker);
    }
    return storeFolderOfSlot(slot(i));
}

QString RegisteredFolderTable::StoreFolderOf(const QString& root, int warn) const
{
    const int i = firstRelatedSlot(root);
    if (i < 0) {
        if (warn == 1) {
            showError(MsgA(301) + shown(root));
        }
        return MsgB(NoLocationMarker);
    }
    return storeFolderOfSlot(slot(i));
}

QString RegisteredFolderTable::RootOfStorePath(const QString& path, int warn) const
{
    int found = -1;
    for (int i = 0; i < MaxFolders; ++i) {
        const Slot& s = slot(i);
        if (s.rootPath.isEmpty()) {
            continue;
        }
        const QString place = s.storeName.isEmpty() ? s.rootPath : storeFolderOfSlot(s);
        if (inPrefixRelation(place, path)) {
            found = i;
        }
    }
    if (found < 0) {
        if (warn == 1) {
            showError(MsgA(302) + shown(path));
        }
        return MsgB(NoLocationMarker);
    }
    return slot(found).rootPath;
}

int RegisteredFolderTable::SameRegisteredFolder(const QString& a, const QString& b) const
{
    for (const Slot& s : m_slots) {
        if (inPrefixRelation(s.rootPath, a) && inPrefixRelation(s.rootPath, b)) {
            return 0;
        }
    }
    return Result::Failed;
}

int RegisteredFolderTable::CountRegisteredFolders(int* count) const
{
    int n = 0;
    for (const Slot& s : m_slots) {
        if (!s.rootPath.isEmpty()) {
            ++n;
        }
    }
    *count = n;
    return 0;
}

int RegisteredFolderTable::RegisteredDriveTypeOf(const QString& path, int* driveType) const
{
    int type = 0;
    for (const Slot& s : m_slots) {
        if (inPrefixRelation(s.rootPath, path)) {
            type = s.driveType;
        }
    }
    *driveType = type;
    return type != 0 ? 0 : -1;
}

int RegisteredFolderTable::IsReadOnlyFolder(const QString& path, int warn) const
{
    for (const Slot& s : m_slots) {
        if (s.readOnlyText == QLatin1String("1") && inPrefixRelation(s.rootPath, path)) {
            if (warn == 1) {
                ShowMessage(MsgA(316), MessageStyle::warning());
            }
            return Result::Failed;
        }
    }
    return 0;
}

int RegisteredFolderTable::matchesCheckBlock(const Slot& s, const QString& password, int* match)
{
    QByteArray plain;
    if (CheckBlock::Open(m_engine, password, s.record.mid(Layout::CheckBlock, CheckBlock::Size), &plain) !=
        0) {
        return Result::Failed;
    }
    *match = plain == CheckBlock::PlainBlock(MsgB(FolderCheckText)) ? 1 : 0;
    return 0;
}

int RegisteredFolderTable::VerifyFolderPassword(const QString& root, const QString& password, int* match)
{
    *match = 0;
    const int i = lastSlotWithRoot(root);
    if (i < 0) {
        showError(MsgA(556) + shown(root));
        return Result::Failed;
    }
    return matchesCheckBlock(slot(i), password, match);
}

int RegisteredFolderTable::GetFolderHint(const QString& root, QString* hint) const
{
    const int i = lastSlotWithRoot(root);
    if (i < 0) {
        showError(MsgA(557) + shown(root));
        return Result::Failed;
    }
    // The field is filled with spaces behind the text.
    *hint = RecordField::TrimTrailingSpaces(
        RecordField::GetText(slot(i).record, Layout::Hint, Layout::HintChars));
    return 0;
}

int RegisteredFolderTable::PasswordMatchesAnyFolder(const QString& password, int* match)
{
    *match = 0;
    for (const Slot& s : m_slots) {
        if (s.rootPath.isEmpty()) {
            continue;
        }
        int slotMatch = 0;
        if (matchesCheckBlock(s, password, &slotMatch) != 0) {
            return Result::Failed;
        }
        if (slotMatch == 1) {
            *match = 1;
        }
    }
    return 0;
}

QString RegisteredFolderTable::ToStoredPath(const QString& path)
{
    return EncodeSpecialFolderPath(path);
}

QString RegisteredFolderTable::FromStoredPath(const QString& path)
{
    return DecodeSpecialFolderPath(path);
}
