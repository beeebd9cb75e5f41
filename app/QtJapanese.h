#pragma once

class QCoreApplication;

// Qt's own texts in Japanese: the standard buttons of message boxes and dialogs, the file and
// folder choosers, the edit menu of text boxes. The program's own texts are Japanese already;
// these come from Qt's translation catalogue "qtbase_ja" in Qt's translations folder.
//
// Installs the catalogue on the application, which owns the translator from then on. Returns
// false, and leaves Qt's texts English, when the catalogue is not installed (Debian ships it in
// qt6-translations-l10n). Every program with a window calls it once, right after the
// application object is made.
bool InstallQtJapanese(QCoreApplication& application);
