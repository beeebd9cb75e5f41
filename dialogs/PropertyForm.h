#pragma once

#include <QString>

class QFormLayout;
class QLabel;
class QLineEdit;

// A row of a property sheet: the label and a read-only box that shows its value in full, with
// an icon in front of the box when one is given.
QLineEdit* AddPropertyRow(QFormLayout* form, const QString& label, const QString& objectName,
                          QLabel* icon = nullptr);
// A size as "1.50MB　（1,572,864 バイト）".
QString SizeWithBytesText(qint64 size);
