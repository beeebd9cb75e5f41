#pragma once

#include <QHash>
#include <QString>

class FolderMetadata;

// The names a destination folder shows, read once per operation from its metadata and kept up to
// date in memory while files are brought in, so that bringing in many files does not read and
// write the folder's metadata once per file.
class DestinationNames
{
public:
    // Brings the folder's metadata up to date and reads its records; -1 on failure.
    int Load(FolderMetadata& metadata, const QString& folder, const QString& root);

    enum Kind
    {
        None = -1,
        Plain = 0,
        Encrypted = 1,
    };
    // The file that shows the name: the first encrypted file, otherwise the last plain file.
    Kind find(const QString& displayName, QString* path) const;
    // A container written under that name.
    void addEncrypted(const QString& displayName, const QString& path);

private:
    struct Entry
    {
        Kind kind = None;
        QString path;
    };
    QString m_folder;
    QHash<QString, Entry> m_entries;
};
