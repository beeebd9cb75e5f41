#include "dialogs/settings/SettingsSheet.h"

#include "dialogs/settings/SettingsDialog.h"
#include "engine/ContainerCrypt.h"
#include "store/StoreContext.h"
#include "store/datafiles/CommonData2.h"
#include "util/ResultCodes.h"

int RunSettingsSheet(QWidget* parent, StoreContext& store, int* firstPage, SettingsSheetOutcome* outcome)
{
    SettingsSheetOutcome ignored;
    SettingsSheetOutcome& changes = outcome ? *outcome : ignored;
    changes = SettingsSheetOutcome();
    CommonData2& common = store.common2();
    SettingsDialog sheet(store.folders(), parent);
    sheet.values.settings = store.settings();
    sheet.values.workingFolder = {common.AngoTempFolderFlg, common.AngoTempFolder};
    sheet.firstPage = firstPage ? *firstPage : SettingsDialog::DisplayPage;
    if (sheet.exec() != QDialog::Accepted) {
        return Result::Cancelled;
    }
    changes.accepted = true;
    if (firstPage) {
        *firstPage = sheet.firstPage;
    }
    int result = Result::Ok;
    SettingsRecord& settings = store.settings();
    if (!(sheet.values.settings == settings)) {
        changes.titleModeChanged = sheet.values.settings.TitleMode != settings.TitleMode;
        settings = sheet.values.settings;
        // The same save as at exit, A-154 included; the record keeps the changes for that save.
        if (SaveSettingsAtExit(settings, store.dataFolder()) != 0) {
            result = Result::Failed;
        }
    }
    const WorkingFolderChoice& chosen = sheet.values.workingFolder;
    if (chosen.AngoTempFolderFlg != common.AngoTempFolderFlg ||
        chosen.AngoTempFolder != common.AngoTempFolder) {
        changes.workingFolderChanged = true;
        common.AngoTempFolderFlg = chosen.AngoTempFolderFlg;
        common.AngoTempFolder = chosen.AngoTempFolder;
        store.crypt().setWorkingFolder(store.workingFolder());
        if (common.SaveCommon2() != 0) {
            result = Result::Failed;
        }
    }
    return result;
}
