#include "dialogs/common/DialogIcons.h"

#include <QApplication>
#include <QLabel>
#include <QStyle>

QIcon IconOfKind(int kind, const QIcon& custom)
{
    QStyle* style = QApplication::style();
    switch (kind) {
    case IconKindError:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case IconKindQuestion:
        return style->standardIcon(QStyle::SP_MessageBoxQuestion);
    case IconKindWarning:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case IconKindInformation:
        return style->standardIcon(QStyle::SP_MessageBoxInformation);
    case IconKindCustom:
        return custom;
    default:
        return QIcon();
    }
}

void ShowIcon(QLabel* label, const QIcon& icon, int size)
{
    label->setFixedSize(size, size);
    label->setPixmap(icon.isNull() ? QPixmap() : icon.pixmap(size, size));
}
