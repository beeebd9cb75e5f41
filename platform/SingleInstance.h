#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// Keeps a second copy of the program from running for the same user: a lock file in the
// user's runtime folder, held for the whole life of the process, private to the user (0600). A
// lock left by a process that died is taken over.
//
// The window holds the lock named WindowLockName while it runs; kbx takes the same lock while
// it writes into a registered folder, so that the two never change one folder at once.
class SingleInstance
{
public:
    static const QString WindowLockName; // "Kurabox"

    explicit SingleInstance(const QString& name);

    // True when this process now holds the lock; false when another running copy holds it.
    bool acquire();
    QString lockPath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
