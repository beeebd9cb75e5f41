#include "cli/CommandLine.h"

namespace {

const OptionSyntax* findOption(const CommandSyntax& syntax, const QString& name)
{
    for (const OptionSyntax& option : syntax.options) {
        if (option.name == name) {
            return &option;
        }
    }
    return nullptr;
}

bool wantsHelp(const QStringList& arguments)
{
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--")) {
            return false;
        }
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            return true;
        }
    }
    return false;
}

} // namespace

bool ParseCommandLine(const CommandSyntax& syntax, const QStringList& arguments, ParsedCommand* parsed,
                      QString* error)
{
    *parsed = ParsedCommand();
    if (wantsHelp(arguments)) {
        parsed->help = true;
        return true;
    }
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            parsed->operands.append(argument);
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (!argument.startsWith(QLatin1String("--"))) {
            *error = QStringLiteral("unknown option '%1'").arg(argument);
            return false;
        }
        QString name = argument.mid(2);
        QString value;
        const qsizetype equals = name.indexOf(QLatin1Char('='));
        const bool inlineValue = equals >= 0;
        if (inlineValue) {
            value = name.mid(equals + 1);
            name.truncate(equals);
        }
        const OptionSyntax* option = findOption(syntax, name);
        if (!option) {
            *error = QStringLiteral("unknown option '--%1'").arg(name);
            return false;
        }
        if (option->valueName.isEmpty()) {
            if (inlineValue) {
                *error = QStringLiteral("option '--%1' takes no value").arg(name);
                return false;
            }
            if (!parsed->flags.contains(name)) {
                parsed->flags.append(name);
            }
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= arguments.size()) {
                *error = QStringLiteral("option '--%1' needs a value").arg(name);
                return false;
            }
            value = arguments.at(++i);
        }
        if (parsed->values.contains(name)) {
            *error = QStringLiteral("option '--%1' given twice").arg(name);
            return false;
        }
        parsed->values.insert(name, value);
    }
    if (parsed->operands.size() < syntax.operands.size()) {
        *error = QStringLiteral("missing %1")
                     .arg(syntax.operands.mid(parsed->operands.size()).join(QLatin1Char(' ')));
        return false;
    }
    if (parsed->operands.size() > syntax.operands.size()) {
        *error = QStringLiteral("unexpected argument '%1'").arg(parsed->operands.at(syntax.operands.size()));
        return false;
    }
    return true;
}

QString SynopsisOf(const CommandSyntax& syntax)
{
    QStringList parts{QStringLiteral("kbx"), syntax.name};
    for (const OptionSyntax& option : syntax.options) {
        parts.append(option.valueName.isEmpty()
                         ? QStringLiteral("[--%1]").arg(option.name)
                         : QStringLiteral("[--%1 %2]").arg(option.name, option.valueName));
    }
    parts.append(syntax.operands);
    return parts.join(QLatin1Char(' '));
}

QString HelpTextOf(const CommandSyntax& syntax)
{
    QString text = QStringLiteral("Usage: %1\n\n%2\n").arg(SynopsisOf(syntax), syntax.description);
    text += QStringLiteral("\nOptions:\n");
    QList<OptionSyntax> options = syntax.options;
    options.append({QStringLiteral("help"), QString(), QStringLiteral("Show this help and exit.")});
    for (const OptionSyntax& option : options) {
        const QString left = option.valueName.isEmpty()
                                 ? QStringLiteral("--%1").arg(option.name)
                                 : QStringLiteral("--%1 %2").arg(option.name, option.valueName);
        text += QStringLiteral("  %1  %2\n").arg(left, -16).arg(option.help);
    }
    return text;
}
