#include "cli/CliSession.h"

#include "cli/InterruptGuard.h"
#include "store/catalogue/EngineStartup.h"
#include "util/SecureWipe.h"

CliSession::CliSession(ProgressLine& progress)
    : m_progress(progress), m_engine(CryptEngine::instance()), m_catalogue(m_engine), m_crypt(m_engine)
{
    m_crypt.setProgressObserver(&m_progress);
}

CliSession::~CliSession()
{
    m_crypt.setProgressObserver(nullptr);
    if (m_keySet) {
        m_engine.ClearKeySlot(CryptEngine::TemporarySlotName);
    }
}

int CliSession::Start()
{
    return StartEngine(m_engine, m_catalogue);
}

QString CliSession::TakePassword(QString& password, const QString& hint)
{
    const QString slot = m_engine.SetTemporaryKey(password, hint);
    SecureWipe(password);
    m_keySet = m_keySet || !slot.isEmpty();
    return slot;
}

void CliSession::beginWriting(const QString& label, const QString& checkLabel, const QString& target)
{
    InterruptGuard::SetPartialOutput(ContainerCrypt::PartialPathFor(target));
    m_progress.begin(label, checkLabel);
}

void CliSession::endWriting()
{
    m_progress.finish();
    InterruptGuard::SetPartialOutput(QString());
}
