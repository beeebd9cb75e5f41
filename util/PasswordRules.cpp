#include "util/PasswordRules.h"

#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"

namespace {

void warn(const QString& text)
{
    ShowMessage(text, MessageStyle::warning());
}

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
            return Result::Failed;
        }
    }
    return 0;
}

int CheckNewPassword(const QString& password)
{
    if (password.size() < MinLength || password.size() > MaxLength) {
        const QString range = QStringLiteral("%1\uFF5E%2").arg(MinLength).arg(MaxLength);
        warn(MsgA(511) + range + MsgA(512));
        return Result::Failed;
    }
    if (PasswordCharsAllowed(password) != 0) {
        warn(MsgA(513));
        return Result::Failed;
    }
    return 0;
}

int CheckHintLength(const QString& hint)
{
    if (hint.size() > MaxHintLength) {
        warn(MsgA(515) + QString::number(MaxHintLength) + MsgA(516));
        return Result::Failed;
    }
    return 0;
}

int CheckHintDiffers(const QString& hint, const QString& password)
{
    if (!hint.isEmpty() && hint == password) {
        warn(MsgA(593));
        return Result::Failed;
    }
    return 0;
}

} // namespace PasswordRules
