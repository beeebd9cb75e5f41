#include "views/decrypted/DecryptedFilesModel.h"

DecryptedFilesModel::DecryptedFilesModel(QObject* parent)
    : TextRowModel({QStringLiteral("復号中ファイル"), QStringLiteral("状態"), QStringLiteral("ファイル名"),
                    QStringLiteral("フルパス"), QStringLiteral("チェック"),
                    QStringLiteral("暗号ファイルパス")},
                   parent)
{
}
