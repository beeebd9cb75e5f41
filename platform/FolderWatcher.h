#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;

// Tells when the entries of one folder change: names added, removed or renamed, and files
// written or their attributes changed (the kernel's inotify, read on the thread that owns the
// watcher, so nothing is shared with another thread). Bursts of changes arrive as one signal
// after a short quiet spell. The watched folder itself vanishing is reported too.
class FolderWatcher : public QObject
{
    Q_OBJECT

public:
    explicit FolderWatcher(QObject* parent = nullptr);
    ~FolderWatcher() override;

    // Watches this folder instead of the one before (with every folder below it when
    // withSubfolders is set, also those made later); an empty path stops watching. False when the
    // folder cannot be watched (changes are then found on request only).
    bool watch(const QString& folder, bool withSubfolders = false);
    QString folder() const { return m_folder; }

signals:
    void changed();

private:
    void readEvents();
    void addWatch(const QString& folder);
    void removeWatches();

    int m_fd = -1;
    QHash<int, QString> m_watches; // descriptor -> folder
    bool m_withSubfolders = false;
    QString m_folder;
    QSocketNotifier* m_notifier = nullptr;
    QTimer m_quiet;
};
