#pragma once

#include "util/PromptService.h"

#include <QString>
#include <QStringList>

#include <functional>

class OpenFiles;
class StoreContext;

// Handing files out of the store: decrypted copies (type 1, and 4 for mail), copies of the
// containers (2), containers under a new password (3, and 5 for mail), or the entries themselves
// unchanged (6). The copies are prepared in the registered folder's take-out areas ("To" for
// plain, "Re" for encrypted copies), shown in the take-out dialog, and cleaned away afterwards:
// every way out of a take-out, a failure and a cancel included, wipes "To" and leaves its
// placeholder file. Originals are removed only after a plain take-out whose dialog moved the
// copies away.
class TakeOut
{
public:
    using Type = TakeOutType;
    using enum TakeOutType;

    // open decrypts the copies (its copiesChanged tells the decrypted-files list).
    TakeOut(StoreContext& store, OpenFiles& open) : m_store(store), m_open(open) {}

    // Writes changed working copies back before they are taken out (A-85 answered yes).
    std::function<int(const QStringList& copies)> reflect;

    // The selected items (files and folders of one registered folder). 0, or -1 when refused or
    // failed (its message shown); a cancelled dialog is 0.
    int Run(Type type, const QStringList& items);

    // Dragging rows out with decrypted copies: the copies are made only when the drop target
    // asks for the data. Prepare makes them in the "To" area (after the same checks as a
    // take-out, their refusals collected into errorText rather than shown: a drag is running);
    // 0 with the copies, -1 when refused. Finish cleans up after the drag: a copy the target took
    // away (moved) removes its original, a copy still there is erased; "To" is wiped and closed.
    int PrepareDragOut(const QStringList& items, QStringList* copies, QString* errorText);
    int FinishDragOut(const QStringList& items, const QStringList& copies);
    // After a refused drag: "To" wiped and closed, nothing else touched.
    void AbandonDragOut();

    // After Run: whether originals were removed (the tree and the list read the folder again).
    bool removedOriginals() const { return m_removed; }

private:
    int checks(Type type, const QStringList& items);
    int takeOutPlain(Type type, const QStringList& items);
    int takeOutEncrypted(Type type, const QStringList& items);
    int verify(const QStringList& items, const QStringList& copies, int folderMissing, int countDiffers,
               int fileMissing);
    int cleanUp(const QStringList& items, const QStringList& copies, bool moved);
    int openArea(const QStringList& items);

    StoreContext& m_store;
    OpenFiles& m_open;
    QString m_root;
    QString m_storeFolder;
    bool m_removed = false;
};
