// A settings profile of any bytes: read, changed and written back. The change reads back, and
// the lines it did not touch are written back as they were.

#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzTarget.h"
#include "store/settings/ProfileFile.h"

#include <cstdlib>

KURA_FUZZ_TARGET(Profile)
{
    ProfileFile profile;
    profile.parse(Fuzz::Bytes(data, size));
    profile.value(QStringLiteral("Base"), QStringLiteral("VL"));
    profile.setValue(QStringLiteral("Kbx"), QStringLiteral("Fuzz"), QStringLiteral("1.72"));
    ProfileFile back;
    back.parse(profile.toBytes());
    if (back.value(QStringLiteral("Kbx"), QStringLiteral("Fuzz")) != QStringLiteral("1.72")) {
        std::abort();
    }
    return 0;
}
