#pragma once

#include "cli/CommandLine.h"

#include <QList>

#include <functional>

class CliSession;

// One kbx command: its arguments and what runs it once the engine has started. The run
// function returns the exit status.
struct CliCommand
{
    CommandSyntax syntax;
    std::function<int(const ParsedCommand&, CliSession&)> run;
};

// encrypt, decrypt, info, set-hint, rename
QList<CliCommand> ContainerCommands();
// raw-encrypt, raw-decrypt
QList<CliCommand> RawFileCommands();
// Whole encrypted folders: ls, check, extract, add.
CliCommand ListCommand();
CliCommand CheckCommand();
CliCommand ExtractCommand();
CliCommand AddCommand();
