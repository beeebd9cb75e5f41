#pragma once

class QDialog;
class QHBoxLayout;
class QPushButton;

// The answer row the two overwrite questions share; each button stores its OverwriteAnswer.
struct OverwriteAnswers
{
    QPushButton* yes;
    QPushButton* yesToAll;
    QPushButton* no;
    QPushButton* cancel;

    // The buttons in one right-aligned row, each storing its answer in *answer and closing.
    QHBoxLayout* row(QDialog* dialog, int* answer) const;
    // "All" and "cancel" only when more than one item is concerned; "yes" is the default.
    void prepare(int single) const;
};
