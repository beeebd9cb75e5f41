#include "operations/inside/UndoHistory.h"

namespace {

QString KindWord(UndoRecord::Kind kind)
{
    switch (kind) {
    case UndoRecord::Delete:
        return QStringLiteral("削除");
    case UndoRecord::Copy:
        return QStringLiteral("コピー");
    case UndoRecord::Move:
        return QStringLiteral("移動");
    case UndoRecord::Rename:
        return QStringLiteral("名前の変更");
    case UndoRecord::None:
        break;
    }
    return QString();
}

} // namespace

void UndoHistory::MakeUndoRoom()
{
    while (m_records.size() >= Capacity) {
        m_records.removeFirst();
    }
}

void UndoHistory::Record(UndoRecord record)
{
    if (record.isEmpty()) {
        return;
    }
    MakeUndoRoom();
    m_records.append(std::move(record));
}

void UndoHistory::DropNewest()
{
    if (!m_records.isEmpty()) {
        m_records.removeLast();
    }
}

QString UndoHistory::MenuText(const UndoRecord* record)
{
    if (!record || record->isEmpty()) {
        return QStringLiteral("元に戻す(&U)\tCtrl+Z");
    }
    return QStringLiteral("元に戻す - ") + KindWord(record->kind) + QStringLiteral("(&U)\tCtrl+Z");
}

QString UndoHistory::StatusPrompt(const UndoRecord* record)
{
    if (!record || record->isEmpty()) {
        return QStringLiteral("元に戻します");
    }
    const UndoItem& first = record->items.first();
    const qsizetype count = record->items.size();
    QString detail;
    if (record->kind == UndoRecord::Rename) {
        detail = QStringLiteral("' を ' ") + first.newName + QStringLiteral("' に変更");
    } else if (count == 1) {
        detail = QStringLiteral("' の") + KindWord(record->kind);
    } else {
        detail = QStringLiteral("' を含む%1個の").arg(count) + KindWord(record->kind);
    }
    return QStringLiteral("元に戻す - '") + first.name + detail;
}
