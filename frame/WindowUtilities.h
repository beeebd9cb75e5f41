#pragma once

class QWidget;

// Small window services the file utilities need from the GUI.

// Empties the clipboard; -1 when there is none to empty.
int ClearClipboard();
// Switches the input method off for the widget (password fields take plain characters).
void TurnImeOff(QWidget* widget);
// Half the difference between the window's outer width and its inner width.
int WindowBorderWidth(const QWidget* window);
