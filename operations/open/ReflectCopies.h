#pragma once

#include <QString>
#include <QStringList>

class StoreContext;

// Putting decrypted copies back: a copy whose last-write time differs from its container's is
// encrypted over the container (written beside it and renamed, so the old or the new container
// survives any failure), an unchanged copy is erased. A copy is deleted only after it was written
// back or the user chose to drop its changes; one that could not be written back stays.
class ReflectCopies
{
public:
    enum Mode
    {
        NewContainer = 0, // write a new container at the path given
        Existing = 1,     // the container of the copy
    };

    explicit ReflectCopies(StoreContext& store) : m_store(store) {}

    // The program on a copy has ended: write it back (asking first, A-15 or A-639) or erase it.
    int OnWatchedProgramEnded(const QString& copy);
    // One copy; see the class comment. 0 or -1.
    int ReflectFile(const QString& copy, const QString& container, const QString& root, Mode mode,
                    bool announce, bool ask);
    // Every copy of a registered folder (refused with A-12 while one is in use: open in a
    // program, or the program watched for it still runs, which is named; A-13 when some could not
    // be written back). 0 or -1.
    int ReflectAll(const QString& root, bool silent);
    // These copies (refused with A-102 while one is in use, as above). 0 or -1.
    int ReflectSelected(const QStringList& copies);
    // Deletes copies without writing them back (A-139 asked first, then refused with A-102 while
    // one is in use); their containers become read-only again. Copies are wiped, never only
    // unlinked.
    int EraseSelected(const QStringList& copies);

    // Whether a copy differs from its container (or has none).
    static bool IsChanged(const QString& copy, const QString& container);

private:
    int erase(const QString& copy, int failureMessage);
    int heldOpen(const QStringList& copies, int message);
    int reflectTree(const QString& area, const QString& folder, const QString& root);

    StoreContext& m_store;
};
