#include "views/decrypted/DecryptedFilesModel.h"

#include "util/MessageText.h"
#include "views/common/FileTypeIcons.h"

#include <QFileInfo>

DecryptedFilesModel::DecryptedFilesModel(QObject* parent)
    : TextRowModel({QStringLiteral("復号中ファイル"), QStringLiteral("状態"), QStringLiteral("ファイル名"),
                    QStringLiteral("フルパス"), QStringLiteral("チェック"),
                    QStringLiteral("暗号ファイルパス")},
                   parent)
{
}

QString DecryptedFilesModel::ToolTipOf(int row) const
{
    const QString name = text(row, FileName);
    const QString container = text(row, ContainerPath);
    if (container.isEmpty()) {
        return MsgA(136) + name;
    }
    const QString changed = text(row, Changed) == QLatin1String("1") ? MsgA(137) : QString();
    return changed + name + QLatin1Char('\n') + MsgA(138) + QFileInfo(container).path();
}

QVariant DecryptedFilesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) {
        return {};
    }
    if (role == Qt::ToolTipRole) {
        return ToolTipOf(index.row());
    }
    if (role == Qt::DecorationRole && index.column() == Title) {
        return IconForFileName(text(index.row(), FileName));
    }
    return TextRowModel::data(index, role);
}
