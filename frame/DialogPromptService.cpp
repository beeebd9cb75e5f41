#include "frame/DialogPromptService.h"

#include <QFileDialog>

namespace {

constexpr int ModeWithoutNewFolder = 2;

} // namespace

int DialogPromptService::BrowseForFolder(const QString& title, const QString& path, const QString& caption,
                                         const QString& okText, int mode, QString* chosen)
{
    QFileDialog dialog(m_owner, caption.isEmpty() ? title : caption);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    // A read-only chooser cannot make new folders.
    dialog.setOption(QFileDialog::ReadOnly, mode == ModeWithoutNewFolder);
    if (!okText.isEmpty()) {
        dialog.setLabelText(QFileDialog::Accept, okText);
    }
    QString start = path;
    while (start.size() > 1 && start.endsWith(QLatin1Char('/'))) {
        start.chop(1);
    }
    if (!start.isEmpty()) {
        dialog.setDirectory(start);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return -1;
    }
    QString folder = dialog.selectedFiles().first();
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) {
        folder.chop(1);
    }
    *chosen = folder;
    return 0;
}
