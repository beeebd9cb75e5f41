#include "store/datafiles/CommonData2.h"

#include "store/datafiles/DamagedDataFile.h"
#include "store/datafiles/EncipheredDataFile.h"
#include "store/datafiles/RecordFields.h"
#include "store/settings/DecimalText.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"

#include <algorithm>

namespace {

constexpr DataFileMessages Common2Messages = {565, 566, 567, 569};

const QString FlagKey = QStringLiteral("AngoTempFolderFlg");
const QString FolderKey = QStringLiteral("AngoTempFolder");
const QString Dummy1Key = QStringLiteral("Dummy1");
const QString Dummy2Key = QStringLiteral("Dummy2");

QByteArray keyRecord(const QString& key, const QString& value)
{
    QByteArray record(CommonData2::RecordSize, 0);
    RecordField::PutText(record, 0, CommonData2::KeyChars, key);
    RecordField::PutText(record, CommonData2::ValueOffset, CommonData2::ValueChars, value);
    return record;
}

} // namespace

CommonData2::CommonData2(CryptEngine& engine, const QString& dataFolder, const QString& defaultWorkingFolder)
    : m_engine(engine), m_dataFolder(dataFolder), m_defaultWorkingFolder(defaultWorkingFolder)
{
}

QString CommonData2::FilePath() const
{
    return m_dataFolder + QStringLiteral("/kbxcl_common2.dat");
}

int CommonData2::LoadCommon2()
{
    m_loaded = false;
    AngoTempFolderFlg = QStringLiteral("0");
    AngoTempFolder.clear();
    Dummy1 = QStringLiteral("dummy");
    Dummy2 = 1;

    QByteArray plain;
    QString problem;
    const auto plausible = [](const QByteArray& record) {
        return isPlausible(RecordField::GetText(record, 0, KeyChars),
                           RecordField::GetText(record, ValueOffset, ValueChars));
    };
    if (ReadRecordFile(m_engine, FilePath(), RecordSize, MaxRecords, Common2Messages.createFailed, plausible,
                       &plain, &problem) != 0) {
        return Result::Failed;
    }
    for (qsizetype at = 0; at + RecordSize <= plain.size(); at += RecordSize) {
        const QString key = RecordField::GetText(plain, at, KeyChars);
        const QString value = RecordField::GetText(plain, at + ValueOffset, ValueChars);
        if (key == FlagKey) {
            AngoTempFolderFlg = value;
        } else if (key == FolderKey) {
            AngoTempFolder = value;
        } else if (key == Dummy1Key) {
            Dummy1 = value;
        } else if (key == Dummy2Key) {
            Dummy2 = DecimalToInt(value);
        }
    }
    if (!problem.isEmpty()) {
        if (AngoTempFolder.isEmpty()) {
            AngoTempFolderFlg = QStringLiteral("0");
        }
        const QString outcome =
            AngoTempFolderFlg == QLatin1String("0")
                ? QStringLiteral("作業用フォルダーは既定の場所で起動します。別の場所を使っていた場合は、"
                                 "環境設定の「作業用フォルダー設定」でもう一度選んでください。")
                : QStringLiteral("読み取れた設定で起動します。");
        if (SetDamagedFileAside(FilePath(), problem, outcome) != 0) {
            return Result::Failed;
        }
    }
    m_loaded = true;
    if (AngoTempFolderFlg == QLatin1String("0")) {
        AngoTempFolder = m_defaultWorkingFolder;
    }
    if (!problem.isEmpty()) {
        SaveCommon2();
    }
    return 0;
}

bool CommonData2::isPlausible(const QString& key, const QString& value)
{
    const auto clean = [](const QString& text) {
        return text.isValidUtf16() &&
               std::none_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x20; });
    };
    if (!clean(key) || !clean(value)) {
        return false;
    }
    if (key == FlagKey) {
        return value == QLatin1String("0") || value == QLatin1String("1");
    }
    if (key == FolderKey) {
        return value.isEmpty() || value.startsWith(QLatin1Char('/'));
    }
    return true;
}

int CommonData2::SaveCommon2()
{
    if (!m_loaded) {
        ShowMessage(MsgA(568), MessageStyle::error());
        return Result::Failed;
    }
    QByteArray plain = keyRecord(FlagKey, AngoTempFolderFlg) + keyRecord(FolderKey, AngoTempFolder) +
                       keyRecord(Dummy1Key, Dummy1) + keyRecord(Dummy2Key, QString::number(Dummy2));
    return SaveDataFile(m_engine, FilePath(), Common2Messages, plain);
}
