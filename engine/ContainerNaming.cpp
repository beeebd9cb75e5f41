#include "engine/ContainerNaming.h"

#include "engine/ContainerFormat.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"

#include <QUuid>

namespace {

constexpr qint64 MaxCandidates = 999999999;

} // namespace

int ContainerName(const QString& folder, QString* name)
{
    for (qint64 n = 0; n < MaxCandidates; ++n) {
        const QUuid guid = QUuid::createUuid();
        if (guid.isNull()) {
            ShowMessage(MsgA(451), MessageStyle::error());
            return -1;
        }
        const QString candidate = ContainerFormat::ContainerFileName(guid);
        if (FileExists(folder + QLatin1Char('/') + candidate) != 0) {
            *name = candidate;
            return 0;
        }
    }
    return -1;
}
