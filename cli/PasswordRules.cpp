#include "cli/PasswordRules.h"

#include "cli/CliMessageService.h"
#include "engine/MessageNumbers.h"
#include "util/MessageText.h"

namespace {

constexpr int LengthBefore = 511;
constexpr int LengthAfter = 512;
constexpr int CharsNotAllowed = 513;
constexpr int HintEqualsPassword = 593;

const QString& allowedCharacters()
{
    static const QString allowed = QStringLiteral("1234567890"
                                                  "abcdefghijklmnopqrstuvwxyz"
                                                  "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                  "!#$%&'()*+,-./:;<=>?@[\\]^_`{|}~"
                                                  "\uFF61\uFF62\uFF63\uFF64\uFF65"
                                                  "\"");
    return allowed;
}

} // namespace

namespace PasswordRules {

int PasswordCharsAllowed(const QString& password)
{
    for (const QChar character : password) {
        if (!allowedCharacters().contains(character)) {
            return -1;
        }
    }
    return 0;
}

int CheckNewPassword(const QString& password)
{
    if (password.size() < MinLength || password.size() > MaxLength) {
        const QString range = QStringLiteral("%1\uFF5E%2").arg(MinLength).arg(MaxLength);
        ReportWarning(MsgA(LengthBefore) + range + MsgA(LengthAfter));
        return -1;
    }
    if (PasswordCharsAllowed(password) != 0) {
        ReportWarning(MsgA(CharsNotAllowed));
        return -1;
    }
    return 0;
}

int CheckHintLength(const QString& hint)
{
    if (hint.size() > MaxHintLength) {
        ReportWarning(MsgA(Msg::HintTooLongBefore) + QString::number(MaxHintLength) +
                      MsgA(Msg::HintTooLongAfter));
        return -1;
    }
    return 0;
}

int CheckHintDiffers(const QString& hint, const QString& password)
{
    if (!hint.isEmpty() && hint == password) {
        ReportWarning(MsgA(HintEqualsPassword));
        return -1;
    }
    return 0;
}

} // namespace PasswordRules
