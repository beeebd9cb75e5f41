#pragma once

#include <QString>

// Where the manual's first page is: beside the program in a build folder ("manual/"), or in
// the documentation folder of the prefix the program is installed under
// ("../share/doc/kurabox/manual/" from its bin folder). Empty when neither exists.
// programFolder: the folder of the running program.
QString ManualPath(const QString& programFolder);
