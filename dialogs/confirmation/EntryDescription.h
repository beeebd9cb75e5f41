#pragma once

#include <QString>

// The two-line description of an entry in the overwrite question: for an encrypted container
// "元のサイズ：　" + original size + "\n更新日時：　" + its stored modification time (read with
// the key of `slot`), for a plain file "サイズ：　" + size + "\n更新日時：　" + last-write time.
// Values that cannot be read show as "不明".
QString EntryDescription(const QString& path, bool isContainer, const QString& slot);
