#pragma once

#include <QString>

class QFormLayout;
class QFrame;
class QVBoxLayout;
class QLabel;
class QLineEdit;

// A row of a property sheet: the label and a read-only box that shows its value in full, with
// an icon in front of the box when one is given.
QLineEdit* AddPropertyRow(QFormLayout* form, const QString& label, const QString& objectName,
                          QLabel* icon = nullptr);
// The line between groups of rows.
QFrame* PropertySeparator();
// The head of a property sheet: the item's icon and its name in a read-only box, then a line.
QLineEdit* AddPropertyHeader(QVBoxLayout* layout, QLabel* icon);
// A size as "1.50MB　（1,572,864 バイト）".
QString SizeWithBytesText(qint64 size);
