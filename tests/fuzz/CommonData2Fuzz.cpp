// A data file with records of any bytes, enciphered as the program stores it and loaded as
// at start-up.

#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzTarget.h"
#include "store/datafiles/CommonData2.h"

KURA_FUZZ_TARGET(CommonData2File)
{
    CommonData2 common(Fuzz::Engine(), Fuzz::DataFolder(), Fuzz::ScratchPath(QStringLiteral("work")));
    Fuzz::WriteDataFile(common.FilePath(), Fuzz::Bytes(data, size));
    common.LoadCommon2();
    Fuzz::ClearMessages();
    return 0;
}
