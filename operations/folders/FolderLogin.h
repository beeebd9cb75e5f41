#pragma once

#include <QString>

#include <functional>

class StoreContext;

// Logging a registered folder in and out. A folder is logged in while the engine holds its key
// under the root path; the window keeps the tree and the lists in step with what these return.
class FolderLogin
{
public:
    // Writes the decrypted copies of one registered folder back into it: 0, or -1 when a copy
    // could not be written back (its message has been shown).
    using ReflectFolder = std::function<int(const QString& root)>;

    explicit FolderLogin(StoreContext& store) : m_store(store) {}

    // Derives the folder's key from the password. An empty password is asked for (cancel: -1;
    // an invalid entry: A-163). A password that does not open the folder's check block shows
    // A-164 with the hint and derives nothing. 0 or -1.
    int LoginFolder(const QString& root, const QString& password);

    // Creates what is missing of the folder's store folder and its areas in the working folder.
    // A failure shows A-146 to A-150 (error icon, the cause and the path) and returns -1: the
    // program cannot work with the folder and closes.
    int PrepareWorkingAreas(const QString& root);

    // Everything of a logout but the tree: the copies written back first (A-650/A-651 with the
    // root; a failure, or no way to write them back, shows A-652 and ends), or the question
    // A-259; a read-only folder's copies erased (A-653 on failure); the key forgotten. 0 or -1
    // (also when the user declined).
    int LogoutFolder(const QString& root, const ReflectFolder& reflect);

private:
    StoreContext& m_store;
};
