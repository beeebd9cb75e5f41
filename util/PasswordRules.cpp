#include "util/PasswordRules.h"

#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"

#include <QStringList>

namespace {

void warn(const QString& text)
{
    ShowMessage(text, MessageStyle::warning());
}

// Digits, lower-case letters, upper-case letters and symbols: the four classes of characters a
// password may hold.
const QStringList& characterClasses()
{
    static const QStringList classes = {
        QStringLiteral("1234567890"),
        QStringLiteral("abcdefghijklmnopqrstuvwxyz"),
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"),
        QStringLiteral("!#$%&'()*+,-./:;<=>?@[\\]^_`{|}~\uFF61\uFF62\uFF63\uFF64\uFF65\""),
    };
    return classes;
}

const QString& allowedCharacters()
{
    static const QString allowed = characterClasses().join(QString());
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

QString RangeText()
{
    return QStringLiteral("%1\uFF5E%2").arg(MinLength).arg(MaxLength);
}

bool IsValidPassword(const QString& password)
{
    return password.size() >= MinLength && password.size() <= MaxLength &&
           PasswordCharsAllowed(password) == 0;
}

int PasswordStrength(const QString& password)
{
    const qsizetype n = password.size();
    if (n < MinLength) {
        return 0;
    }
    if (password.count(password.at(0)) == n) {
        return 2;
    }
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype count = QStringView(password).mid(i).count(password.at(i));
        if (count * 100 / n >= 70) {
            return 10;
        }
    }
    const int lengthPoints = n <= 12 ? 10 : n <= 18 ? 20 : n <= 24 ? 30 : 40;
    int classPoints = 0;
    for (const QString& characters : characterClasses()) {
        for (const QChar character : password) {
            if (characters.contains(character)) {
                classPoints += 15;
                break;
            }
        }
    }
    return lengthPoints + classPoints - 15;
}

int CheckNewPassword(const QString& password)
{
    if (password.size() < MinLength || password.size() > MaxLength) {
        warn(MsgA(511) + RangeText() + MsgA(512));
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
