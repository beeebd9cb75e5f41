#include "store/StoreContext.h"

#include "engine/ContainerCrypt.h"
#include "engine/CryptEngine.h"
#include "store/catalogue/EngineStartup.h"
#include "store/catalogue/MessageCatalogue.h"
#include "store/checks/ContainerChecks.h"
#include "store/checks/DecryptedCopyGuard.h"
#include "store/datafiles/CommonData2.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/FolderMetadata.h"
#include "store/working/DecryptedCopies.h"
#include "store/working/StoreAreas.h"
#include "store/working/WorkingCopyPaths.h"
#include "store/working/WorkingFolderLocation.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"

StoreContext::StoreContext(const QString& dataFolder, CryptEngine& engine, ContainerCrypt& crypt)
    : m_dataFolder(dataFolder), m_engine(engine), m_crypt(crypt),
      m_catalogue(std::make_unique<MessageCatalogue>(engine))
{
}

StoreContext::~StoreContext() = default;

int StoreContext::Start()
{
    if (StartEngine(m_engine, *m_catalogue) != 0) {
        return Result::Failed;
    }
    m_hadSettings = SettingsFileExists(m_dataFolder) == 0;
    if (LoadSettingsAtStartup(m_settings, m_dataFolder) != 0) {
        return Result::Failed;
    }
    auto working = [this] { return workingFolder(); };
    m_common2 = std::make_unique<CommonData2>(m_engine, m_dataFolder, DefaultWorkingFolder());
    m_folders = std::make_unique<RegisteredFolderTable>(m_engine, m_dataFolder, working);
    if (m_folders->LoadRegisteredFolders() != 0 || m_common2->LoadCommon2() != 0) {
        return Result::Failed;
    }
    m_crypt.setWorkingFolder(workingFolder());
    m_areas = std::make_unique<StoreAreas>(*m_folders, working);
    m_copies = std::make_unique<DecryptedCopies>(*m_folders, working);
    m_metadata = std::make_unique<FolderMetadata>(*m_folders, working, m_crypt);
    m_checks = std::make_unique<ContainerChecks>(m_crypt);
    m_copyPaths = std::make_unique<WorkingCopyPaths>(*m_folders, *m_metadata, *m_checks, working);
    m_copyGuard = std::make_unique<DecryptedCopyGuard>(*m_folders, *m_metadata, *m_checks, *m_copyPaths);
    m_areas->CleanTakeOutAreas(true);
    m_started = true;
    return Result::Ok;
}

QString StoreContext::workingFolder() const
{
    if (m_common2 && !m_common2->AngoTempFolder.isEmpty()) {
        return m_common2->AngoTempFolder;
    }
    return DefaultWorkingFolder();
}

void StoreContext::Save()
{
    if (!m_started || m_saved) {
        return;
    }
    m_saved = true;
    SaveSettingsAtExit(m_settings, m_dataFolder);
    if (m_common2->isLoaded() && m_common2->SaveCommon2() != 0) {
        ShowMessage(MsgA(155), MessageStyle::error());
    }
}
