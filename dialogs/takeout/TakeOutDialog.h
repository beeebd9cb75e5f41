#pragma once

#include "dialogs/common/OpeningDialog.h"
#include "util/PromptService.h"

#include <QStringList>

class QLabel;
class QListWidget;
class QMimeData;
class QPushButton;
class QWidget;

// The take-out dialog: shows one icon for the prepared items, which the user drags into another
// program or folder, or copies or moves them to a chosen folder.
class TakeOutDialog : public OpeningDialog
{
public:
    // The take-out types.
    using Type = TakeOutType;
    using enum TakeOutType;

    explicit TakeOutDialog(QWidget* parent = nullptr);

    // Fields set by the caller.
    QStringList paths; // the items handed out
    QStringList kinds; // parallel: "1" for a folder, "0" for a file
    int count = 0;
    Type type = Decrypted;
    int hasFile = 0;
    int hasFolder = 0;
    int readOnly = 0;         // the registered folder is registered read-only
    QString rootPath;         // the registered folder the items come from
    int outsideDDMoveFlg = 0; // the setting: encrypted items may be moved out by a drag

    // Results.
    int nothingToClean = 0; // the items had vanished when the dialog opened
    int moved = 0;          // the items were moved out

    // What a drag started with the button offers.
    Qt::DropActions allowedActions(Qt::MouseButton button) const;
    // The data a drag carries: the items as file URLs, also in the form file managers paste.
    QMimeData* dragData() const;
    // The desktop's program that writes a mail with attachments (xdg-email); empty when none.
    static QString MailProgram();
    // Drags the items with the button, and ends the dialog when the drop took them.
    void dragItems(Qt::MouseButton button);

protected:
    bool initDialog() override;
    // Runs the drag loop; returns the action the drop target performed.
    virtual Qt::DropAction runDrag(QMimeData* data, Qt::DropActions allowed);

private:
    int iconIndex() const;
    // What the icon stands for: the name of the one item, or the number of items.
    QString itemsName() const;
    bool anyEntryMissing() const;
    bool isMail() const { return type == DecryptedForMail || type == NewPasswordForMail; }
    void copyTo();
    void moveTo();
    void attachToMail();

    QListWidget* m_list;
    QWidget* m_buttonBand;
    QPushButton* m_copy;
    QPushButton* m_move;
    QLabel* m_notice;
    QPushButton* m_cancel;
    QPushButton* m_mail;
};
