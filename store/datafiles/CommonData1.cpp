#include "store/datafiles/CommonData1.h"

#include "engine/CryptEngine.h"
#include "store/datafiles/CheckBlock.h"
#include "store/datafiles/DamagedDataFile.h"
#include "store/datafiles/EncipheredDataFile.h"
#include "store/datafiles/RecordFields.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"

#include <QDir>

namespace {

constexpr int AdminCheckText = 34; // catalogue B
constexpr int ListKeyText = 35;    // catalogue B
constexpr qsizetype ListKeyHalf = 16;

constexpr DataFileMessages Common1Messages = {558, 559, 560, 563};

using Layout = CommonData1::Layout;

const QString AdminTag = QStringLiteral("001             ");
const QString EntryTag = QStringLiteral("002             ");

QByteArray taggedRecord(const QString& tag)
{
    QByteArray record(CommonData1::RecordSize, 0);
    RecordField::PutText(record, Layout::Tag, Layout::TagChars, tag);
    return record;
}

void wipe(ChangePassword& entry)
{
    SecureWipe(entry.name);
    SecureWipe(entry.password);
    SecureWipe(entry.hint);
}

} // namespace

CommonData1::CommonData1(CryptEngine& engine, const QString& dataFolder)
    : m_engine(engine), m_dataFolder(dataFolder)
{
    clear();
}

CommonData1::~CommonData1()
{
    clear();
}

QString CommonData1::FilePath() const
{
    return m_dataFolder + QStringLiteral("/kbxcl_common1.dat");
}

void CommonData1::clear()
{
    m_checkBlock = QByteArray(CheckBlock::Size, 0);
    m_adminHint.clear();
    for (ChangePassword& entry : m_changePasswords) {
        wipe(entry);
    }
    m_changePasswords.clear();
}

// 16 bytes of the administrator block as it reads under the right password (the text of B-34),
// then the first 16 bytes of B-35 in UTF-16LE. It does not depend on the password given, so
// the list reads the same without the administrator password, as the take-out dialog and the
// new-password check read it.
QByteArray CommonData1::listKey() const
{
    QByteArray adminBlock = CheckBlock::PlainBlock(MsgB(AdminCheckText));
    QByteArray key = adminBlock.left(ListKeyHalf) + RecordField::Utf16Prefix(MsgB(ListKeyText), ListKeyHalf);
    SecureWipe(adminBlock);
    return key;
}

int CommonData1::LoadCommon1(const QString& adminPassword, int mode, int* match)
{
    m_loaded = false;
    clear();
    *match = 0;

    QByteArray plain;
    QString problem;
    // Every record is the administrator's or a change password's; anything else is damage.
    const auto plausible = [](const QByteArray& record) {
        const QString tag = RecordField::GetText(record, Layout::Tag, Layout::TagChars);
        return tag == AdminTag || tag == EntryTag;
    };
    if (ReadRecordFile(m_engine, FilePath(), RecordSize, MaxRecords, Common1Messages.createFailed, plausible,
                       &plain, &problem) != 0) {
        return Result::Failed;
    }
    if (!problem.isEmpty()) {
        SecureWipe(plain);
        SetDamagedFileAside(
            FilePath(), problem,
            QStringLiteral("管理者パスワードと受け渡し用パスワードの一覧は、今はありません。"
                           "管理者パスワードを登録し直し、受け渡し用パスワードをもう一度登録してください。"));
        return Result::Failed;
    }
    if (m_engine.SetTemporaryKey(adminPassword, QString()).isEmpty()) {
        return Result::Failed;
    }

    QByteArray adminBlock(CheckBlock::Size, 0); // deciphered
    QByteArray key;
    int records = 0;
    int rc = 0;
    for (qsizetype at = 0; at + RecordSize <= plain.size() && records < MaxRecords;
         at += RecordSize, ++records) {
        const QByteArray record = plain.mid(at, RecordSize);
        const QString tag = RecordField::GetText(record, Layout::Tag, Layout::TagChars);
        if (tag == AdminTag) {
            m_checkBlock = record.mid(Layout::CheckBlock, CheckBlock::Size);
            m_adminHint = RecordField::GetText(record, Layout::AdminHint, Layout::TextChars);
            if (CheckBlock::Open(m_engine, adminPassword, m_checkBlock, &adminBlock) != 0) {
                rc = -1;
                break;
            }
            if (adminBlock == CheckBlock::PlainBlock(MsgB(AdminCheckText))) {
                *match = 1;
            } else if (mode == 1) {
                ShowMessage(MsgA(561) + m_adminHint + QStringLiteral(" 」です。"), MessageStyle::error());
                rc = -1;
                break;
            }
        } else if (tag == EntryTag) {
            if (m_changePasswords.size() >= MaxChangePasswords) {
                continue;
            }
            if (key.isEmpty()) {
                key = listKey();
            }
            QByteArray field = record.mid(Layout::Password, Layout::PasswordBytes);
            const QString slot = m_engine.SetTemporaryKeyRaw(key);
            if (slot.isEmpty() || m_engine.DecipherBuffer(field.data(), field.size(), slot) != 0) {
                SecureWipe(field);
                rc = -1;
                break;
            }
            ChangePassword entry;
            entry.name =
                RecordField::TrimSpaces(RecordField::GetText(record, Layout::Name, Layout::TextChars));
            QString password = RecordField::GetText(field, 0, Layout::PasswordBytes / 2);
            entry.password = RecordField::TrimSpaces(password);
            entry.hint =
                RecordField::TrimSpaces(RecordField::GetText(record, Layout::Hint, Layout::TextChars));
            SecureWipe(password);
            SecureWipe(field);
            m_changePasswords.append(std::move(entry));
        } else {
            break;
        }
    }
    SecureWipe(adminBlock);
    SecureWipe(key);
    SecureWipe(plain);
    if (rc != 0) {
        clear();
        return Result::Failed;
    }
    if (mode == 1) {
        m_loaded = true;
    }
    return 0;
}

int CommonData1::SaveCommon1(const QString& adminPassword)
{
    if (!m_loaded) {
        ShowMessage(MsgA(562), MessageStyle::error());
        return Result::Failed;
    }
    QByteArray block;
    if (CheckBlock::Make(m_engine, adminPassword, MsgB(AdminCheckText), &block) != 0) {
        return Result::Failed;
    }
    QByteArray plain = taggedRecord(AdminTag);
    plain.replace(Layout::CheckBlock, CheckBlock::Size, block);
    RecordField::PutZeroFilledText(plain, Layout::AdminHint, Layout::TextChars, m_adminHint);

    if (!m_changePasswords.isEmpty()) {
        QByteArray key = listKey();
        const QString slot = m_engine.SetTemporaryKeyRaw(key);
        SecureWipe(key);
        if (slot.isEmpty()) {
            SecureWipe(plain);
            return Result::Failed;
        }
        for (const ChangePassword& entry : std::as_const(m_changePasswords)) {
            QByteArray record = taggedRecord(EntryTag);
            RecordField::PutSpaceFilledText(record, Layout::Name, Layout::TextChars, entry.name);
            RecordField::PutSpaceFilledText(record, Layout::Password, Layout::PasswordBytes / 2,
                                            entry.password);
            RecordField::PutSpaceFilledText(record, Layout::Hint, Layout::TextChars, entry.hint);
            if (m_engine.EncipherBuffer(record.data() + Layout::Password, Layout::PasswordBytes, slot) != 0) {
                SecureWipe(record);
                SecureWipe(plain);
                return Result::Failed;
            }
            plain += record;
            SecureWipe(record);
        }
    }
    if (SaveDataFile(m_engine, FilePath(), Common1Messages, plain) != 0) {
        return Result::Failed;
    }
    m_checkBlock = block;
    return 0;
}

int CommonData1::Common1Exists() const
{
    return FileExists(FilePath());
}

int CommonData1::DeleteCommon1()
{
    QString error;
    if (RemoveFile(FilePath(), &error) != 0) {
        ShowMessage(MsgA(564) + error + QStringLiteral("\n\n") + QDir::toNativeSeparators(FilePath()),
                    MessageStyle::error());
        return Result::Failed;
    }
    return 0;
}

int CommonData1::SetChangePasswords(const QList<ChangePassword>& list)
{
    if (list.size() > MaxChangePasswords) {
        return Result::Failed;
    }
    for (ChangePassword& entry : m_changePasswords) {
        wipe(entry);
    }
    m_changePasswords = list;
    return 0;
}
