#pragma once

#include "engine/ContainerCrypt.h"

#include <QString>

// Questions about the files of a registered folder as containers: is a file a container this
// folder's key opens, what name does it show, what hint does it carry. `key` is the key slot of
// the folder (its registered root). A key that is not in the engine (a folder that is logged
// out) opens no container; such files are still told apart from plain files.
class ContainerChecks
{
public:
    explicit ContainerChecks(ContainerCrypt& crypt) : m_crypt(crypt) {}

    // The container status of the file (ContainerStatus) with its header, or -1 when the file
    // cannot be opened or read. Shows nothing.
    int StatusOf(const QString& path, const QString& key, ContainerInfo* info, QString* text = nullptr);

    // The name a file shows: a folder's own name (0); the stored original name of a container
    // the key opens (0); the file's own name for any other file (2). A stored name that is no
    // single file name ("../x", "a/b") cannot be used: -1 with the file's own name.
    int DisplayNameOf(const QString& path, const QString& key, QString* name);

    // 0 when the file is a container the key opens; -1 otherwise, with otherKey (when given) 1
    // when the reason is a newer format or another key.
    int IsReadableContainer(const QString& path, const QString& key, int* otherKey = nullptr);

    // Walks every file below the folder; the first one that is no container the key opens is
    // handed back, -1. No message.
    int AllContainersReadable(const QString& folder, const QString& key, QString* failingPath);

    // The password hint a container carries (trailing spaces removed); needs no password. A file
    // that is no container: -1 with "このファイルは" + product name + A-331; a container of a
    // newer format: -1 with that status text. A header that cannot be read gives 0 and no hint.
    int ReadHintOfFile(const QString& path, QString* hint, QString* errorText);

    ContainerCrypt& crypt() { return m_crypt; }

private:
    ContainerCrypt& m_crypt;
};
