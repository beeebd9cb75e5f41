#include "store/catalogue/EngineStartup.h"

#include "engine/CryptEngine.h"
#include "store/catalogue/MessageCatalogue.h"
#include "util/ResultCodes.h"

int StartEngine(CryptEngine& engine, MessageCatalogue& catalogue)
{
    engine.ResetKeySlots();
    MessageTextSource::install(&catalogue);
    if (catalogue.LoadCatalogueA() != 0 || catalogue.LoadCatalogueB() != 0) {
        return Result::Failed;
    }
    if (catalogue.m_GetMsgB(8).isEmpty()) {
        return Result::Failed;
    }
    return engine.SetIntrinsicKey();
}
