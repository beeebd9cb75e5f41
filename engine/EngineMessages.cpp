#include "engine/EngineMessages.h"

#include "util/ErrorText.h"
#include "util/MessageService.h"

void ShowEngineError(const QString& text)
{
    ShowMessage(text, MessageStyle::error());
}

QString ErrnoDetail(int error, const QString& path)
{
    return ErrnoText(error) + QStringLiteral("\n\n") + path;
}

QString ZlibText(const char* message)
{
    return QString::fromLatin1(message ? message : "zlib");
}
