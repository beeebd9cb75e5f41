#include "views/contents/ContentsModel.h"

ContentsModel::ContentsModel(QObject* parent)
    : TextRowModel({QStringLiteral("名前"), QStringLiteral("元のサイズ"), QStringLiteral("種類"),
                    QStringLiteral("更新日時"), QStringLiteral("暗号化日時"), QStringLiteral("更新日時"),
                    QStringLiteral("状態"), QStringLiteral("元ﾌｧｲﾙ名"), QStringLiteral("ﾌﾙﾊﾟｽ"),
                    QStringLiteral("非暗号"), QStringLiteral("ﾌｫﾙﾀﾞ識別")},
                   parent)
{
}
