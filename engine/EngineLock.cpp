#include "engine/EngineLock.h"

#include "engine/CryptEngine.h"
#include "util/EventPump.h"
#include "util/MessageService.h"
#include "util/MessageText.h"

EngineLock::EngineLock(CryptEngine& engine, int busyMessage) : m_engine(engine)
{
    for (int wait = 1; m_engine.isEngineBusy(); ++wait) {
        if (wait == MaxWaits) {
            ShowMessage(MsgA(busyMessage), MessageStyle::warning());
            WaitPumping(WaitMilliseconds);
            return; // gives up after the last wait without checking again
        }
        WaitPumping(WaitMilliseconds);
    }
    m_engine.setEngineBusy(true);
    m_acquired = true;
}

EngineLock::~EngineLock()
{
    if (m_acquired) {
        m_engine.setEngineBusy(false);
    }
}
