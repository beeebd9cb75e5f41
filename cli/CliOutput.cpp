#include "cli/CliOutput.h"

#include "cli/TerminalText.h"

#include <QJsonDocument>

#include <cstdio>

void PrintLine(const QString& line)
{
    const QByteArray bytes = TerminalSafe(line).toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

void PrintField(const QString& name, const QString& value)
{
    PrintLine(name + QLatin1String(": ") + value);
}

void PrintJson(const QJsonObject& object)
{
    const QByteArray bytes = QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}
