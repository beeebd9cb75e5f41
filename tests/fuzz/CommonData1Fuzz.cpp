// A data file with records of any bytes, enciphered as the program stores it and loaded as
// at start-up.

#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzTarget.h"
#include "store/datafiles/CommonData1.h"

KURA_FUZZ_TARGET(CommonData1File)
{
    CommonData1 common(Fuzz::Engine(), Fuzz::DataFolder());
    Fuzz::WriteDataFile(common.FilePath(), Fuzz::Bytes(data, size));
    int match = 0;
    common.LoadCommon1(QStringLiteral("Admin-Pass1"), 1, &match);
    common.GetChangePasswords();
    Fuzz::ClearMessages();
    return 0;
}
