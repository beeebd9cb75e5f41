#include "cli/CommandKeys.h"

#include "cli/CliSession.h"
#include "cli/PasswordInput.h"
#include "util/MessageService.h"
#include "util/ResultCodes.h"

int ReadKey(CliSession& session, const QString& prompt, QString* slot)
{
    QString password;
    if (ReadPassword(prompt, &password) != 0) {
        return Result::Failed;
    }
    *slot = session.TakePassword(password);
    return slot->isEmpty() ? -1 : 0;
}

int RequireReadableContainer(CliSession& session, const QString& container, const QString& slot,
                             ContainerInfo* info)
{
    int status = ContainerReadable;
    QString text;
    if (session.crypt().GetContainerStatus(container, slot, info, true, &status, &text) != 0) {
        return Result::Failed;
    }
    if (status == ContainerReadable) {
        return 0;
    }
    ShowMessage(text, status == OtherKey ? MessageStyle::warning() : MessageStyle::error());
    return Result::Failed;
}

QString ShownHint(const QString& storedHint)
{
    qsizetype length = storedHint.size();
    while (length > 0 && storedHint.at(length - 1).isSpace()) {
        --length;
    }
    return storedHint.left(length);
}
