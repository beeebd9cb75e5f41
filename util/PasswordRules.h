#pragma once

#include <QString>

// The rules every new password and hint follows, as in the password dialogs of the window:
// 8 to 32 characters, each a digit, an ASCII letter or one of the 37 symbols; a hint of at most
// 48 characters that differs from the password.
namespace PasswordRules {

inline constexpr int MinLength = 8;
inline constexpr int MaxLength = 32;
inline constexpr int MaxHintLength = 48;

// The strength score shown on the password dialogs' bar, 0 to 85; below WeakBelow counts as weak.
inline constexpr int MaxStrength = 85;
inline constexpr int WeakBelow = 25;
int PasswordStrength(const QString& password);

// "8～32", as the length messages show the range.
QString RangeText();

// Whether the text may be a password at all: 8 to 32 allowed characters. Shows nothing.
bool IsValidPassword(const QString& password);

// 0 when every character is allowed (an empty text too); -1 at the first that is not.
int PasswordCharsAllowed(const QString& password);

// Each shows the dialogs' warning and returns -1 when the rule is broken, 0 otherwise.
int CheckNewPassword(const QString& password);
int CheckHintLength(const QString& hint);
int CheckHintDiffers(const QString& hint, const QString& password);

} // namespace PasswordRules
