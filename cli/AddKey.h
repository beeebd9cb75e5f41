#pragma once

#include "platform/SingleInstance.h"

#include <QString>

#include <memory>

class CliSession;

// The key that files are encrypted with when kbx adds them to a folder, and the right to write
// there.
//
// A folder of a folder registered in the window: the window must not be running, and its lock is
// held from here to the end of the command; the password must open the registered folder, a
// folder registered read-only is refused, and the folder's hint goes into every new file.
// Any other folder: the password must open the encrypted files already in it (their hint is
// kept); a folder without any takes a new password, typed twice on a terminal.
class AddKey
{
public:
    explicit AddKey(CliSession& session) : m_session(session) {}

    // Reads the password for `folder`; 0 with the key in the session's one-operation slot, or
    // -1 (reported).
    int Take(const QString& folder);
    QString slot() const { return m_slot; }

private:
    int takeRegistered(const QString& folder, const QString& root);
    int takeUnregistered(const QString& folder);

    CliSession& m_session;
    std::unique_ptr<SingleInstance> m_windowLock;
    QString m_slot;
};
