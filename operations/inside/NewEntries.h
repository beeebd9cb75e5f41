#pragma once

#include <QByteArray>
#include <QString>

class StoreContext;

// What a new file starts as: empty, a copy of a template file, or the given bytes.
struct NewFileContent
{
    enum Kind
    {
        Empty,
        TemplateFile,
        Bytes,
    };
    Kind kind = Empty;
    QString templateFile; // TemplateFile: the file copied
    QByteArray bytes;     // Bytes: what the file holds
};

// New entries in a folder of a registered folder: a folder under the first free "新しいフォルダー"
// name, and a file made from a template that is encrypted at once. The plain file lives only in
// the folder's scratch area below the working folder, and is wiped as soon as the container is
// written (or the step fails).
class NewEntries
{
public:
    explicit NewEntries(StoreContext& store) : m_store(store) {}

    // 0 with the new folder's path; -1 with A-316 (read-only folder) or A-33.
    int NewFolder(const QString& folder, QString* created);
    // A file shown as base + extension (" (2)" and so on before the extension when the name is
    // taken). 0 with the container's path; -1 with A-316, A-101 (no scratch folder), A-98, A-99 or
    // A-100 (the plain file could not be written, by kind) or the engine's message.
    int NewFile(const QString& folder, const QString& base, const QString& extension,
                const NewFileContent& content, QString* container);

private:
    StoreContext& m_store;
};
