#include "frame/DialogPromptService.h"

#include "dialogs/confirmation/CD05ReWriteCheck.h"
#include "dialogs/confirmation/CD06ReWriteCheck2.h"
#include "dialogs/confirmation/CD13Msg1.h"
#include "util/ResultCodes.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>

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
        return Result::Failed;
    }
    QString folder = dialog.selectedFiles().first();
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) {
        folder.chop(1);
    }
    *chosen = folder;
    return Result::Ok;
}

OverwriteAnswer DialogPromptService::AskOverwrite(const OverwriteQuestion& question)
{
    QFileIconProvider icons;
    if (question.folder) {
        CD06ReWriteCheck2 dialog(m_owner);
        dialog.single = question.single ? 1 : 0;
        dialog.folderName = question.displayName;
        dialog.icon = icons.icon(QFileIconProvider::Folder);
        dialog.exec();
        return OverwriteAnswer(dialog.answer);
    }
    CD05ReWriteCheck dialog(m_owner);
    dialog.single = question.single ? 1 : 0;
    dialog.displayName = question.displayName;
    dialog.existingPath = question.existingPath;
    dialog.newPath = question.newPath;
    dialog.existingIsContainer = question.existingIsContainer;
    dialog.newIsContainer = question.newIsContainer;
    dialog.existingSlot = question.existingSlot;
    dialog.newSlot = question.newSlot;
    dialog.icon = icons.icon(QFileInfo(question.newIsContainer ? question.displayName : question.newPath));
    dialog.exec();
    return OverwriteAnswer(dialog.answer);
}

int DialogPromptService::ShowNotice(const NoticeQuestion& question, bool* dontShowAgain)
{
    CD13Msg1 dialog(m_owner);
    dialog.message = question.message;
    dialog.checkText = question.checkText;
    dialog.yesNo = question.yesNo;
    const bool accepted = dialog.exec() == QDialog::Accepted;
    *dontShowAgain = accepted && dialog.dontShowAgain == 1;
    return accepted ? Result::Ok : Result::Failed;
}
