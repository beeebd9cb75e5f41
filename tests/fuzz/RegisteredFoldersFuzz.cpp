// A data file with records of any bytes, enciphered as the program stores it and loaded as
// at start-up.

#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzTarget.h"
#include "store/datafiles/RegisteredFolderTable.h"

KURA_FUZZ_TARGET(RegisteredFolders)
{
    RegisteredFolderTable table(Fuzz::Engine(), Fuzz::DataFolder(),
                                [] { return Fuzz::ScratchPath(QStringLiteral("work")); });
    Fuzz::WriteDataFile(table.FilePath(), Fuzz::Bytes(data, size));
    table.LoadRegisteredFolders();
    for (int i = 0; i < table.count(); ++i) {
        table.slot(i);
    }
    Fuzz::ClearMessages();
    return 0;
}
