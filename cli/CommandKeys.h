#pragma once

#include <QString>

class CliSession;
struct ContainerInfo;

// Keys and container checks shared by the commands.

// Reads a password as an existing one (any password the engine takes) and puts it into the
// one-operation slot; 0 with the slot name, or -1 (reported).
int ReadKey(CliSession& session, const QString& prompt, QString* slot);

// The container classified under the slot: 0 when it is readable with that key (info filled),
// -1 after showing why not.
int RequireReadableContainer(CliSession& session, const QString& container, const QString& slot,
                             ContainerInfo* info);

// The hint as consumers show it: the stored field without its trailing spaces.
QString ShownHint(const QString& storedHint);
