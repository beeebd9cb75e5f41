#include "store/working/TakeOutArea.h"

#include "store/working/AreaFolders.h"
#include "store/working/WorkingAreaNames.h"
#include "util/ErrorText.h"
#include "util/EventPump.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace {

constexpr int OpenFailed = 642;
constexpr int CloseFailed = 643;
constexpr int SettleMs = 100;

} // namespace

int PrepareTakeOutArea(TakeOutAreaKind kind, const QString& storeFolder, bool show, QString* errorText)
{
    const QString area = storeFolder + QLatin1Char('/') + WorkingArea::TakeOut;
    const bool isLink = QFileInfo(area).isSymLink();
    QString error;
    int rc = 0;
    if (!QDir::isAbsolutePath(storeFolder)) {
        // The no-location marker or nothing at all: no place to make the area in.
        error = SystemErrorText(ENOENT);
        rc = -1;
    } else if (kind == TakeOutAreaKind::Open) {
        if (isLink || FileExists(area) == 0) {
            rc = WipeArea(area, true, &error);
        }
        WaitPumping(SettleMs);
        if (rc == 0 && DirectoryExists(area) != 0) {
            rc = CreatePrivateFolderTree(area, &error);
        }
    } else {
        if (isLink || DirectoryExists(area) == 0) {
            rc = WipeArea(area, true, &error);
        }
        WaitPumping(SettleMs);
        if (rc == 0 && FileExists(area) != 0) {
            rc = CreateEmptyFile(area, &error);
        }
    }
    if (rc == 0) {
        return 0;
    }
    const int message = kind == TakeOutAreaKind::Open ? OpenFailed : CloseFailed;
    const QString text = MsgA(message) + error + QLatin1Char('\n') + QDir::toNativeSeparators(area);
    if (show) {
        ShowMessage(text, MessageStyle::error());
    } else if (errorText) {
        *errorText = text;
    }
    return Result::Failed;
}
