#include "cli/CommandLine.h"

#include "cli/CliLanguage.h"

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

const OptionSyntax* findShortFlag(const CommandSyntax& syntax, QChar letter)
{
    for (const OptionSyntax& option : syntax.options) {
        if (!option.shortName.isNull() && option.shortName == letter && option.valueName.isEmpty()) {
            return &option;
        }
    }
    return nullptr;
}

void addFlag(ParsedCommand* parsed, const QString& name)
{
    if (!parsed->flags.contains(name)) {
        parsed->flags.append(name);
    }
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
            for (const QChar letter : QStringView(argument).mid(1)) {
                const OptionSyntax* flag = findShortFlag(syntax, letter);
                if (!flag) {
                    *error = Tr("unknown option '-%1'", "不明なオプション '-%1'").arg(letter);
                    return false;
                }
                addFlag(parsed, flag->name);
            }
            continue;
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
            *error = Tr("unknown option '--%1'", "不明なオプション '--%1'").arg(name);
            return false;
        }
        if (option->valueName.isEmpty()) {
            if (inlineValue) {
                *error = Tr("option '--%1' takes no value", "オプション '--%1' は値をとりません").arg(name);
                return false;
            }
            addFlag(parsed, name);
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= arguments.size()) {
                *error = Tr("option '--%1' needs a value", "オプション '--%1' には値が要ります").arg(name);
                return false;
            }
            value = arguments.at(++i);
        }
        if (parsed->values.contains(name)) {
            *error = Tr("option '--%1' given twice", "オプション '--%1' が二度指定されています").arg(name);
            return false;
        }
        parsed->values.insert(name, value);
    }
    if (parsed->operands.size() < syntax.operands.size()) {
        *error = Tr("missing %1", "%1 がありません")
                     .arg(syntax.operands.mid(parsed->operands.size()).join(QLatin1Char(' ')));
        return false;
    }
    if (parsed->operands.size() > syntax.operands.size() && !syntax.lastRepeats) {
        *error = Tr("unexpected argument '%1'", "余分な引数 '%1'")
                     .arg(parsed->operands.at(syntax.operands.size()));
        return false;
    }
    return true;
}

static QString optionText(const OptionSyntax& option)
{
    const QString longForm = QStringLiteral("--") + option.name;
    return option.shortName.isNull() ? longForm : QStringLiteral("-%1, %2").arg(option.shortName, longForm);
}

QString SynopsisOf(const CommandSyntax& syntax)
{
    QStringList parts{QStringLiteral("kbx"), syntax.name};
    for (const OptionSyntax& option : syntax.options) {
        parts.append(option.valueName.isEmpty()
                         ? QStringLiteral("[%1]").arg(optionText(option))
                         : QStringLiteral("[--%1 %2]").arg(option.name, option.valueName));
    }
    parts.append(syntax.operands);
    if (syntax.lastRepeats && !parts.isEmpty()) {
        parts.last() += QStringLiteral("...");
    }
    return parts.join(QLatin1Char(' '));
}

QString HelpTextOf(const CommandSyntax& syntax)
{
    QString text = Tr("Usage: %1\n\n%2\n", "使い方: %1\n\n%2\n").arg(SynopsisOf(syntax), syntax.description);
    text += Tr("\nOptions:\n", "\nオプション:\n");
    QList<OptionSyntax> options = syntax.options;
    options.append({QStringLiteral("help"), QString(),
                    Tr("Show this help and exit.", "この説明を表示して終了します。")});
    for (const OptionSyntax& option : options) {
        const QString left = option.valueName.isEmpty()
                                 ? optionText(option)
                                 : QStringLiteral("--%1 %2").arg(option.name, option.valueName);
        text += QStringLiteral("  %1  %2\n").arg(left, -16).arg(option.help);
    }
    return text;
}
