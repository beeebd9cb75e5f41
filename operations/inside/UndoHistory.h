#pragma once

#include <QList>
#include <QString>

// One item of an operation that can be reverted, as the operation recorded it.
struct UndoItem
{
    QString path;    // delete: where it was; copy: the copy made; move and rename: where it was
    QString newPath; // move and rename: where it is now
    QString trashed; // delete: where the Trash holds it
    QString name;    // the name the user saw
    QString newName; // rename: the name it has now
};

// What one operation changed, in the operation's order.
struct UndoRecord
{
    enum Kind
    {
        None = 0,
        Delete = 1, // moved to the Trash
        Copy = 2,
        Move = 3,
        Rename = 4,
    };
    Kind kind = None;
    QList<UndoItem> items;

    bool isEmpty() const { return kind == None || items.isEmpty(); }
};

// The last ten operations that changed the store, newest last. Lives in memory only: empty at
// start-up and never saved. Operations add a record when they have changed at least one item;
// an encrypt-in clears the whole history (the folders it touched no longer match the records).
class UndoHistory
{
public:
    static constexpr int Capacity = 10;

    // Adds a record with at least one item; the oldest goes when ten are held.
    void Record(UndoRecord record);
    void ClearUndoHistory() { m_records.clear(); }
    // Drops the oldest record when ten are held (room for the next one).
    void MakeUndoRoom();

    int count() const { return int(m_records.size()); }
    // The newest record; nullptr when there is none.
    const UndoRecord* newest() const { return m_records.isEmpty() ? nullptr : &m_records.last(); }
    // The newest record for its revert, which removes the items it brought back.
    UndoRecord* newestToRevert() { return m_records.isEmpty() ? nullptr : &m_records.last(); }
    // The newest record has been reverted.
    void DropNewest();

    // The undo command's text for the newest record: "元に戻す - 削除(&U)\tCtrl+Z" and the like;
    // "元に戻す(&U)\tCtrl+Z" when there is none.
    static QString MenuText(const UndoRecord* record);
    // What the status bar says about the command for that record.
    static QString StatusPrompt(const UndoRecord* record);

private:
    QList<UndoRecord> m_records;
};
