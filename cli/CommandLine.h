#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// The arguments of one kbx command: options first or mixed with the operands, "--" ends the
// options, "--name=value" and "--name value" both give a value. A flag with a short name is
// also given as "-x", and several such as "-xy".

struct OptionSyntax
{
    QString name;      // without the leading "--"
    QString valueName; // empty for a flag
    QString help;
    QChar shortName; // a flag's one-letter form, or none
};

struct CommandSyntax
{
    QString name;
    QStringList operands; // upper-case names as shown in the synopsis
    QString summary;      // one line for "kbx --help"
    QString description;  // the body of "kbx NAME --help"
    QList<OptionSyntax> options;
    bool lastRepeats = false; // the last operand may be given more than once
};

struct ParsedCommand
{
    QStringList operands;
    QMap<QString, QString> values; // options with a value
    QStringList flags;             // options without one
    bool help = false;

    bool hasFlag(const QString& name) const { return flags.contains(name); }
    QString value(const QString& name) const { return values.value(name); }
};

// Parses the arguments after the command name. False with a one-line reason for a usage
// error; "--help" anywhere before "--" wins over every other problem.
bool ParseCommandLine(const CommandSyntax& syntax, const QStringList& arguments, ParsedCommand* parsed,
                      QString* error);

// "kbx NAME [options] OPERAND..."
QString SynopsisOf(const CommandSyntax& syntax);
// The synopsis, the description and the options, for "kbx NAME --help".
QString HelpTextOf(const CommandSyntax& syntax);
