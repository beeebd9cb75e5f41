#include "frame/CTreeV.h"

#include <QHeaderView>

CTreeV::CTreeV(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("CTreeV"));
    setHeaderHidden(true);
    setColumnCount(1);
}
