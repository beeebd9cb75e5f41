#include "operations/folders/RegistrationChecks.h"

#include "platform/Platform.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"

#include <QDir>
#include <QFileInfo>

namespace RegistrationChecks {

namespace {

int refuse(const QString& text)
{
    ShowMessage(text, MessageStyle::warning());
    return Result::Failed;
}

// One path lies in the other, or they are the same (case-sensitive, as Linux names are).
bool InPrefixRelation(const QString& a, const QString& b)
{
    const QString left = a.endsWith(QLatin1Char('/')) ? a : a + QLatin1Char('/');
    const QString right = b.endsWith(QLatin1Char('/')) ? b : b + QLatin1Char('/');
    const qsizetype shorter = qMin(left.size(), right.size());
    return QStringView(left).left(shorter) == QStringView(right).left(shorter);
}

bool RelatedToAny(const QString& path, const QStringList& folders)
{
    for (const QString& folder : folders) {
        if (InPrefixRelation(path, folder)) {
            return true;
        }
    }
    return false;
}

} // namespace

QStringList SystemFolders()
{
    return {QStringLiteral("/usr"),  QStringLiteral("/etc"), QStringLiteral("/bin"),
            QStringLiteral("/sbin"), QStringLiteral("/lib"), QStringLiteral("/lib64"),
            QStringLiteral("/boot"), QStringLiteral("/dev"), QStringLiteral("/proc"),
            QStringLiteral("/sys"),  QStringLiteral("/run"), QStringLiteral("/var")};
}

QStringList ProgramFolders()
{
    QStringList folders = {QStringLiteral("/opt")};
    // An installed program lives in PREFIX/bin; a program run from its build folder has no prefix.
    const QString module = QDir::cleanPath(ModuleDirectory());
    if (module.endsWith(QLatin1String("/bin"))) {
        const QString prefix = module.left(module.size() - 4);
        if (!prefix.isEmpty() && !folders.contains(prefix)) {
            folders.append(prefix);
        }
    }
    return folders;
}

int CheckFolderForRegistration(const QString& path, const RegisteredFolderTable& table, int* driveType)
{
    if (path.size() >= MaxPathLength) {
        return refuse(MsgA(222) + QString::number(MaxPathLength) + MsgA(223));
    }
    int count = 0;
    table.CountRegisteredFolders(&count);
    if (count >= RegisteredFolderTable::MaxFolders) {
        return refuse(MsgA(224));
    }
    if (!QDir::isAbsolutePath(path)) {
        return refuse(MsgA(225) + path);
    }
    const QString clean = QDir::cleanPath(path);
    MountInfo mount;
    if (clean == QLatin1String("/") ||
        (Platform::instance().MountOf(clean, &mount) && QDir::cleanPath(mount.mountPoint) == clean)) {
        return refuse(MsgA(226));
    }
    const int type = Platform::instance().DriveTypeOf(clean);
    switch (type) {
    case DriveFixed:
    case DriveRemovable:
    case DriveOptical:
    case DriveRemote:
        break;
    case DriveRamDisk:
        return refuse(MsgA(227));
    default:
        return refuse(MsgA(228));
    }
    if (RelatedToAny(clean, SystemFolders())) {
        return refuse(MsgA(229));
    }
    if (RelatedToAny(clean, ProgramFolders())) {
        return refuse(MsgA(230));
    }
    for (int i = 0; i < RegisteredFolderTable::MaxFolders; ++i) {
        const QString root = table.slot(i).rootPath;
        if (root.isEmpty() || !InPrefixRelation(root, clean)) {
            continue;
        }
        if (root.size() == clean.size()) {
            return refuse(MsgA(231));
        }
        return refuse(clean.size() < root.size() ? MsgA(232) : MsgA(233));
    }
    *driveType = type;
    return Result::Ok;
}

QString RootDisplayText(const QString& root)
{
    const QString clean = QDir::cleanPath(root);
    const QFileInfo info(clean);
    const QString parent = info.path();
    MountInfo mount;
    QString mountPoint = QStringLiteral("/");
    if (Platform::instance().MountOf(clean, &mount) && !mount.mountPoint.isEmpty()) {
        mountPoint = QDir::cleanPath(mount.mountPoint);
    }
    if (parent == mountPoint || parent == QLatin1String("/")) {
        return clean;
    }
    QString head = mountPoint;
    if (mountPoint == QLatin1String("/")) {
        head = QLatin1Char('/') + clean.section(QLatin1Char('/'), 0, 0, QString::SectionSkipEmpty);
    }
    if (head == parent) {
        return clean; // nothing would be left out
    }
    return head + QStringLiteral("/.../") + info.fileName();
}

} // namespace RegistrationChecks
