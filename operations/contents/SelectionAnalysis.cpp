#include "operations/contents/SelectionAnalysis.h"

#include "engine/ContainerCrypt.h"
#include "store/StoreContext.h"
#include "store/datafiles/RegisteredFolderTable.h"

#include <QFileInfo>

bool AnalyseSelection(StoreContext& store, const QStringList& paths, const QStringList& names,
                      SelectionAnalysis* analysis)
{
    *analysis = SelectionAnalysis();
    analysis->rows = int(paths.size());
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString& path = paths.at(i);
        const QFileInfo info(path);
        if (info.isDir()) {
            analysis->folderSelected = true;
            continue;
        }
        if (!info.isFile()) {
            return false;
        }
        analysis->fileSelected = true;
        const QString root = store.folders().FindRegisteredRoot(path, 0);
        ContainerInfo header;
        int status = NotAContainer;
        QString text;
        if (store.crypt().GetContainerStatus(path, root, &header, false, &status, &text) != 0) {
            return false;
        }
        if (status != ContainerReadable) {
            ++analysis->plainFiles;
            if (status == NewerFormat || status == OtherKey) {
                ++analysis->foreignContainers;
            }
            continue;
        }
        const QString name = names.value(i);
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        analysis->extensions.append(dot < 0 ? QString() : name.mid(dot + 1));
    }
    return true;
}
