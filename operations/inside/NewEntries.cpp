#include "operations/inside/NewEntries.h"

#include "engine/ContainerCrypt.h"
#include "engine/ContainerNaming.h"
#include "operations/common/StoreEntries.h"
#include "store/StoreContext.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/FolderMetadata.h"
#include "store/working/StoreAreas.h"
#include "util/ErrorText.h"
#include "util/FileChanges.h"
#include "util/MessageText.h"
#include "util/NamingRules.h"
#include "util/ResultCodes.h"
#include "util/WipeDelete.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>

int NewEntries::NewFolder(const QString& folder, QString* created)
{
    if (m_store.folders().IsReadOnlyFolder(folder, 1) != 0) {
        return Result::Failed;
    }
    const QString path = folder + QLatin1Char('/') + NewFolderName(folder);
    if (!QDir(folder).mkdir(QFileInfo(path).fileName())) {
        ShowError(MsgA(33) + QStringLiteral("\n\n") + ErrnoText(errno) + QStringLiteral("\n") + path);
        return Result::Failed;
    }
    m_store.metadata().SyncFolderMetadata(folder, m_store.folders().FindRegisteredRoot(folder, 0));
    *created = path;
    return Result::Ok;
}

int NewEntries::NewFile(const QString& folder, const QString& base, const QString& extension,
                        const NewFileContent& content, QString* container)
{
    if (m_store.folders().IsReadOnlyFolder(folder, 1) != 0) {
        return Result::Failed;
    }
    const QString root = m_store.folders().FindRegisteredRoot(folder, 0);
    QString name;
    QString fresh;
    if (m_store.metadata().MakeUniqueDisplayName(folder, base, extension, root, &name) != 0 ||
        ContainerName(folder, &fresh) != 0) {
        return Result::Failed;
    }
    QString scratch;
    if (m_store.areas().ScratchAreaOf(folder, &scratch) != 0) {
        return Result::Failed;
    }
    // A folder of its own, so that the plain file can take the name it is to show.
    const QString place = scratch + QStringLiteral("/N") + QUuid::createUuid().toString(QUuid::Id128).left(8);
    if (!QDir().mkpath(place)) {
        ShowError(MsgA(101) + ErrnoText(errno) + QStringLiteral("　\n\n") + place);
        return Result::Failed;
    }
    struct Wipe
    {
        QString path;
        ~Wipe() { WipeDelete(path, true); }
    } wipe{place};

    const QString plain = place + QLatin1Char('/') + name;
    QFile file(plain);
    bool written = false;
    int failure = 98;
    switch (content.kind) {
    case NewFileContent::Empty:
        written = file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
        break;
    case NewFileContent::TemplateFile:
        failure = 99;
        written = QFile::copy(content.templateFile, plain);
        if (!written) {
            file.setFileName(content.templateFile);
            file.open(QIODevice::ReadOnly); // for the reason below
        }
        break;
    case NewFileContent::Bytes:
        failure = 100;
        written = file.open(QIODevice::WriteOnly | QIODevice::NewOnly) &&
                  file.write(content.bytes) == content.bytes.size() && file.flush();
        break;
    }
    if (!written) {
        ShowError(MsgA(failure) + file.errorString() + QStringLiteral("\n") + plain);
        return Result::Failed;
    }
    file.close();
    const QString target = folder + QLatin1Char('/') + fresh;
    if (m_store.crypt().EncryptIntoFolder(plain, target, root) != 0) {
        return Result::Failed;
    }
    SetAttributeBits(target, FileAttribute::ReadOnly, false);
    m_store.metadata().SyncFolderMetadata(folder, root);
    *container = target;
    return Result::Ok;
}
