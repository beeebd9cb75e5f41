#pragma once

#include "cli/ProgressLine.h"
#include "engine/ContainerCrypt.h"
#include "engine/CryptEngine.h"
#include "store/catalogue/MessageCatalogue.h"

#include <QString>

// What every kbx command works with: the process-wide engine started with its catalogues
// and the program's own key, the container operations with the progress line installed, and
// the one-operation key. The key is freed (and so wiped) when the session ends.
class CliSession
{
public:
    explicit CliSession(ProgressLine& progress);
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // Loads the catalogues and derives the program's own key; 0 or -1 (message shown).
    int Start();

    // Puts the password into the one-operation key slot and wipes the text. Returns the slot
    // name to pass to the container operations, or an empty text (message shown).
    QString TakePassword(QString& password, const QString& hint = QString());

    ContainerCrypt& crypt() { return m_crypt; }

    // Runs one engine operation that writes `target`: the progress line shows `label` (and
    // `checkLabel` for a second pass that checks the output), and an interrupt removes the
    // temporary output the operation writes beside the target.
    template <typename Operation>
    int RunWriting(const QString& label, const QString& target, Operation operation,
                   const QString& checkLabel = QString());

private:
    void beginWriting(const QString& label, const QString& checkLabel, const QString& target);
    void endWriting();

    ProgressLine& m_progress;
    CryptEngine& m_engine;
    MessageCatalogue m_catalogue;
    ContainerCrypt m_crypt;
    bool m_keySet = false;
};

template <typename Operation>
int CliSession::RunWriting(const QString& label, const QString& target, Operation operation,
                           const QString& checkLabel)
{
    beginWriting(label, checkLabel, target);
    const int result = operation();
    endWriting();
    return result;
}
