#include "util/MessageText.h"

namespace {

MessageTextSource* g_source = nullptr;

} // namespace

MessageTextSource::~MessageTextSource()
{
    if (g_source == this) {
        g_source = nullptr;
    }
}

void MessageTextSource::install(MessageTextSource* source)
{
    g_source = source;
}

QString MessageKeyA(int number)
{
    return QStringLiteral("KbxMSGa%1").arg(number, 4, 10, QLatin1Char('0'));
}

QString MessageKeyB(int number)
{
    return QStringLiteral("KbxMSGb%1").arg(number, 4, 10, QLatin1Char('0'));
}

QString MsgA(int number)
{
    return g_source ? g_source->textA(number) : MessageKeyA(number);
}

QString MsgB(int number)
{
    return g_source ? g_source->textB(number) : MessageKeyB(number);
}
