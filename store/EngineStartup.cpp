#include "store/EngineStartup.h"

#include "engine/CryptEngine.h"
#include "store/MessageCatalogue.h"

namespace {

constexpr int RequiredCatalogueBEntry = 8;

} // namespace

int StartEngine(CryptEngine& engine, MessageCatalogue& catalogue)
{
    engine.ResetKeySlots();
    MessageTextSource::install(&catalogue);
    if (catalogue.LoadCatalogueA() != 0 || catalogue.LoadCatalogueB() != 0) {
        return -1;
    }
    if (catalogue.m_GetMsgB(RequiredCatalogueBEntry).isEmpty()) {
        return -1;
    }
    return engine.SetIntrinsicKey();
}
