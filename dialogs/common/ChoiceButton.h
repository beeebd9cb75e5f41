#pragma once

class QAbstractButton;
class QDialog;

// A button that records a choice: clicking it stores `value` in `*field` and ends the dialog
// with Accepted.
void RecordChoiceOnClick(QDialog* dialog, QAbstractButton* button, int* field, int value);
