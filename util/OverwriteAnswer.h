#pragma once

// The answers of the two overwrite questions (a file replacing a file, a folder copied into a
// folder of the same name). Stored as int by the dialogs; the values are fixed.
enum OverwriteAnswer : int
{
    OverwriteCancel = 0,   // stop the whole operation
    OverwriteYes = 1,      // replace this one
    OverwriteYesToAll = 2, // replace this one and every further one without asking
    OverwriteNo = 3,       // skip this one
};

// The answers under the short names the question dialogs give them (ReplaceFileDialog::Yes, …).
struct OverwriteAnswerNames
{
    static constexpr int Cancel = OverwriteCancel;
    static constexpr int Yes = OverwriteYes;
    static constexpr int YesToAll = OverwriteYesToAll;
    static constexpr int No = OverwriteNo;
};
