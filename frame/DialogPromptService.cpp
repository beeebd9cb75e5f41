#include "frame/DialogPromptService.h"

#include "dialogs/confirmation/OptOutNoticeDialog.h"
#include "dialogs/confirmation/ReplaceFileDialog.h"
#include "dialogs/confirmation/ReplaceFolderDialog.h"
#include "dialogs/confirmation/StillDecryptedDialog.h"
#include "dialogs/password/AdministratorPasswordDialog.h"
#include "dialogs/password/ChangePasswordListDialog.h"
#include "dialogs/password/NewPasswordDialog.h"
#include "dialogs/password/PasswordEntryDialog.h"
#include "dialogs/password/TakeOutPasswordDialog.h"
#include "dialogs/registration/FirstRegistrationDialog.h"
#include "dialogs/registration/FirstStepsDialog.h"
#include "dialogs/registration/NetworkFolderDialog.h"
#include "dialogs/takeout/EncryptedTakeOutDialog.h"
#include "dialogs/takeout/TakeOutDialog.h"
#include "store/StoreContext.h"
#include "util/PrivatePermissions.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QStandardPaths>

#include <fcntl.h>
#include <tuple>
#include <unistd.h>

namespace {

constexpr int ModeWithoutNewFolder = 2;

// The folder chooser keeps the folders it visited (the places of encrypted folders among them) in
// Qt's own settings file. Qt rewrites that file keeping the mode it finds, so it is made the
// user's alone before a chooser can write it, whatever the umask.
void keepChooserStatePrivate()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty() || !QDir().mkpath(config)) {
        return;
    }
    const QByteArray file = QFile::encodeName(config + QStringLiteral("/QtProject.conf"));
    const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, PrivateFileMode);
    if (fd >= 0) {
        ::close(fd);
        TightenPermissions(QFile::decodeName(file), PrivateFileMode);
    }
}

// Puts the instruction above the chooser's own controls. The desktop's own chooser, when Qt uses
// one, has no room for it and carries it as its description alone.
void ShowInstruction(QFileDialog& dialog, const QString& instruction)
{
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid || instruction.isEmpty()) {
        return;
    }
    auto* label = new QLabel(instruction, &dialog);
    label->setObjectName(QStringLiteral("instruction"));
    label->setWordWrap(true);
    // The grid's rows move down by one; the label spans all its columns.
    QList<std::tuple<QLayoutItem*, int, int, int, int>> items;
    while (grid->count() > 0) {
        int row = 0;
        int column = 0;
        int rowSpan = 0;
        int columnSpan = 0;
        grid->getItemPosition(0, &row, &column, &rowSpan, &columnSpan);
        items.append({grid->takeAt(0), row, column, rowSpan, columnSpan});
    }
    const int columns = grid->columnCount();
    grid->addWidget(label, 0, 0, 1, columns);
    for (const auto& [item, row, column, rowSpan, columnSpan] : items) {
        grid->addItem(item, row + 1, column, rowSpan, columnSpan);
    }
}

} // namespace

int DialogPromptService::BrowseForFolder(const QString& title, const QString& path, const QString& caption,
                                         const QString& okText, int mode, QString* chosen)
{
    keepChooserStatePrivate();
    QFileDialog dialog(m_owner, caption.isEmpty() ? title : caption);
    dialog.setAccessibleDescription(title);
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
    ShowInstruction(dialog, title);
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
        ReplaceFolderDialog dialog(m_owner);
        dialog.single = question.single ? 1 : 0;
        dialog.folderName = question.displayName;
        dialog.icon = icons.icon(QFileIconProvider::Folder);
        dialog.exec();
        return OverwriteAnswer(dialog.answer);
    }
    ReplaceFileDialog dialog(m_owner);
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
    OptOutNoticeDialog dialog(m_owner);
    dialog.message = question.message;
    dialog.checkText = question.checkText;
    dialog.yesNo = question.yesNo;
    const bool accepted = dialog.exec() == QDialog::Accepted;
    *dontShowAgain = accepted && dialog.dontShowAgain == 1;
    return accepted ? Result::Ok : Result::Failed;
}

int DialogPromptService::AskPassword(const PasswordQuestion& question, QString* password)
{
    PasswordEntryDialog dialog(m_owner);
    switch (question.kind) {
    case PasswordQuestion::FolderLogin:
        dialog.mode = 3;
        break;
    case PasswordQuestion::Administrator:
        dialog.mode = 4;
        break;
    default:
        dialog.mode = 5;
        break;
    }
    dialog.subject = question.folder;
    if (dialog.exec() != QDialog::Accepted) {
        return Result::Failed;
    }
    // An invalid entry is handed back empty; the caller's length check refuses it.
    *password = dialog.resultFlag == 0 ? dialog.password : QString();
    SecureWipe(dialog.password);
    return Result::Ok;
}

int DialogPromptService::AskNewPassword(const NewPasswordQuestion& question, QString* password, QString* hint)
{
    NewPasswordDialog dialog(m_owner);
    dialog.mode = question.kind;
    dialog.folderPath = question.folder;
    dialog.initialHint = question.initialHint;
    dialog.hintLocked = question.hintLocked;
    dialog.store = m_store;
    if (dialog.exec() != QDialog::Accepted) {
        return Result::Failed;
    }
    *password = dialog.password;
    *hint = dialog.hint;
    SecureWipe(dialog.password);
    return Result::Ok;
}

int DialogPromptService::AskRemoteRegistration(bool* readOnly)
{
    NetworkFolderDialog dialog(m_owner);
    if (dialog.exec() != QDialog::Accepted) {
        return Result::Failed;
    }
    *readOnly = dialog.readOnly == 1;
    return Result::Ok;
}

int DialogPromptService::AskListConfirmation(const QString& title, const QString& text, const QString& list,
                                             const QString& buttonText)
{
    StillDecryptedDialog dialog(m_owner);
    dialog.title = title;
    dialog.text = text;
    dialog.listText = list;
    dialog.buttonText = buttonText;
    return dialog.exec() == QDialog::Accepted ? Result::Ok : Result::Failed;
}

int DialogPromptService::AskFirstRegistration()
{
    FirstRegistrationDialog dialog(m_owner);
    return dialog.exec() == QDialog::Accepted ? dialog.choice : Result::Failed;
}

void DialogPromptService::ShowEncryptionGuidance()
{
    FirstStepsDialog dialog(m_owner);
    dialog.exec();
}

int DialogPromptService::AskAdministratorAction(bool noPasswordYet)
{
    AdministratorPasswordDialog dialog(m_owner);
    dialog.noAdministratorPassword = noPasswordYet ? 1 : 0;
    return dialog.exec() == QDialog::Accepted ? dialog.choice : Result::Failed;
}

int DialogPromptService::EditChangePasswords(const QString& adminPassword)
{
    ChangePasswordListDialog dialog(m_owner);
    dialog.store = m_store;
    dialog.adminPassword = adminPassword;
    const int code = dialog.exec();
    SecureWipe(dialog.adminPassword);
    return code == QDialog::Accepted ? Result::Ok : Result::Failed;
}

int DialogPromptService::ShowTakeOut(const TakeOutDialogRequest& request, TakeOutDialogResult* result)
{
    TakeOutDialog dialog(m_owner);
    dialog.type = request.type;
    dialog.paths = request.paths;
    dialog.kinds = request.kinds;
    dialog.count = int(request.paths.size());
    dialog.hasFile = request.kinds.contains(QStringLiteral("0")) ? 1 : 0;
    dialog.hasFolder = request.kinds.contains(QStringLiteral("1")) ? 1 : 0;
    dialog.readOnly = request.readOnly ? 1 : 0;
    dialog.rootPath = request.root;
    dialog.outsideDDMoveFlg = m_store ? m_store->settings().OutsideDDMoveFlg : 0;
    const int code = dialog.exec();
    result->moved = code == QDialog::Accepted && dialog.moved == 1;
    result->nothingToClean = dialog.nothingToClean == 1;
    return Result::Ok;
}

int DialogPromptService::AskTakeOutNaming(int* angoOutNameMode)
{
    SettingsRecord settings = m_store ? m_store->settings() : SettingsRecord();
    settings.AngoOutNameMode = *angoOutNameMode;
    EncryptedTakeOutDialog dialog(settings, m_owner);
    if (dialog.exec() != QDialog::Accepted) {
        return Result::Failed;
    }
    *angoOutNameMode = settings.AngoOutNameMode;
    return Result::Ok;
}

int DialogPromptService::AskTakeOutPassword(bool forMail, QString* password, QString* hint,
                                            int* angoOutNameMode)
{
    TakeOutPasswordDialog dialog(m_owner);
    dialog.mode = forMail ? 5 : 3;
    dialog.store = m_store;
    dialog.angoOutNameMode = *angoOutNameMode;
    if (dialog.exec() != QDialog::Accepted) {
        return Result::Failed;
    }
    *password = dialog.password;
    *hint = dialog.hint;
    *angoOutNameMode = dialog.angoOutNameMode;
    SecureWipe(dialog.password);
    return Result::Ok;
}
