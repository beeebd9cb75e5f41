// A message catalogue source of any bytes, as the catalogue reader parses it.

#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzTarget.h"
#include "store/catalogue/MessageCatalogue.h"

#include <cstdlib>

KURA_FUZZ_TARGET(CatalogueSource)
{
    const QString text = QString::fromUtf8(Fuzz::Bytes(data, size));
    QStringList keys;
    QStringList texts;
    MessageCatalogue::ParseEntries(text, u"KbxMSGa", &keys, &texts);
    if (keys.size() != texts.size()) {
        std::abort();
    }
    MessageCatalogue::PlainImage(text);
    return 0;
}
