#include "operations/tools/FolderProblems.h"

#include "store/StoreContext.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/FolderMetadata.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"

int ScanFolderForProblems(StoreContext& store, const QString& folder, bool takeOutWording, bool collect,
                          FolderProblemReport* report)
{
    *report = FolderProblemReport();
    const QString root = store.folders().FindRegisteredRoot(folder, 0);
    FolderMetadata::PlainScan scan;
    if (root.isEmpty() || store.metadata().ScanPlainAndDuplicates(folder, true, root, &scan) != 0) {
        return Result::Failed;
    }
    int result = Result::Ok;
    auto report_ = [&](const QString& text) {
        if (collect) {
            report->text += text;
        } else {
            ShowMessage(text, MessageStyle::warning());
        }
        result = Result::Failed;
    };
    if (scan.plainCount > 0) {
        report_(MsgA(takeOutWording ? 184 : 185) + QString::number(scan.plainCount) + MsgA(186) + scan.plainList);
    }
    if (scan.duplicateCount > 0) {
        report->duplicates = true;
        report_(MsgA(takeOutWording ? 187 : 188) + QString::number(scan.duplicateCount) + MsgA(189) +
                scan.duplicateList);
    }
    return result;
}
