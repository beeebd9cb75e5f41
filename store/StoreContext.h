#pragma once

#include "store/settings/SettingsFile.h"

#include <QString>

#include <memory>

class CommonData2;
class ContainerChecks;
class ContainerCrypt;
class CryptEngine;
class DecryptedCopies;
class DecryptedCopyGuard;
class FolderMetadata;
class MessageCatalogue;
class RegisteredFolderTable;
class StoreAreas;
class WorkingCopyPaths;

// The process-wide parts of the store in one object: the message catalogues, the settings, the
// registered-folder table, the common data, the working folder's areas, the decrypted copies,
// the folder metadata and the store's checks. The window makes one at start-up and hands it to
// every pane and operation in their constructors; a test makes one over a data folder of its
// own. Nothing in it reaches for another process-wide instance except the engine and the
// container operations it is given.
class StoreContext
{
public:
    // dataFolder: the folder of the settings and data files (DataFolderPath() for the user's).
    StoreContext(const QString& dataFolder, CryptEngine& engine, ContainerCrypt& crypt);
    ~StoreContext();
    StoreContext(const StoreContext&) = delete;
    StoreContext& operator=(const StoreContext&) = delete;

    // Loads everything in the start-up order: the engine with its catalogues and the program's
    // own key, the settings, the registered folders, the common data (which names the working
    // folder), then removes take-out areas left by an interrupted take-out. 0, or -1 when a step
    // failed (its message has been shown) and the program cannot go on.
    int Start();
    bool isStarted() const { return m_started; }
    // Saves the settings and the common data, each once: a second call does nothing. A failure
    // to save the common data shows A-155.
    void Save();
    bool isSaved() const { return m_saved; }

    QString dataFolder() const { return m_dataFolder; }
    // The working folder the common data names, or its default place.
    QString workingFolder() const;
    // Whether the settings file existed before this start.
    bool hadSettings() const { return m_hadSettings; }

    CryptEngine& engine() { return m_engine; }
    ContainerCrypt& crypt() { return m_crypt; }
    MessageCatalogue& catalogue() { return *m_catalogue; }
    SettingsRecord& settings() { return m_settings; }
    RegisteredFolderTable& folders() { return *m_folders; }
    CommonData2& common2() { return *m_common2; }
    StoreAreas& areas() { return *m_areas; }
    DecryptedCopies& copies() { return *m_copies; }
    FolderMetadata& metadata() { return *m_metadata; }
    ContainerChecks& checks() { return *m_checks; }
    WorkingCopyPaths& copyPaths() { return *m_copyPaths; }
    DecryptedCopyGuard& copyGuard() { return *m_copyGuard; }

private:
    QString m_dataFolder;
    CryptEngine& m_engine;
    ContainerCrypt& m_crypt;
    bool m_started = false;
    bool m_saved = false;
    bool m_hadSettings = false;
    SettingsRecord m_settings;
    std::unique_ptr<MessageCatalogue> m_catalogue;
    std::unique_ptr<RegisteredFolderTable> m_folders;
    std::unique_ptr<CommonData2> m_common2;
    std::unique_ptr<StoreAreas> m_areas;
    std::unique_ptr<DecryptedCopies> m_copies;
    std::unique_ptr<FolderMetadata> m_metadata;
    std::unique_ptr<ContainerChecks> m_checks;
    std::unique_ptr<WorkingCopyPaths> m_copyPaths;
    std::unique_ptr<DecryptedCopyGuard> m_copyGuard;
};
