#pragma once
// Tells whether another copy of the program is running, by a lock file.
#include <QString>
#include <QStringList>

#include <memory>

class QLockFile;

namespace clavora {

class SingleInstance {
public:
    // The lock files are tried in order: when one cannot be written, or
    // cannot be ours (a symbolic link, not a regular file, another user's),
    // the next place is used, and stderr says why.
    explicit SingleInstance(QStringList lockPaths);
    explicit SingleInstance(const QString& lockPath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the lock and keeps it for the lifetime of this object. False
    // only when another running process holds it; a lock left behind by a
    // process that has ended is taken over. When no lock file can be
    // written at all, the answer is true: the program then runs unguarded
    // rather than not at all.
    bool tryAcquire();
    // The lock file in use; empty while none is held.
    QString lockPath() const;

    // "clavora.lock" in the per-user runtime directory; without one,
    // "clavora-<user id>.lock" in the temporary directory.
    static QString defaultLockPath();
    // defaultLockPath(), then "clavora.lock" in the user's own cache folder
    // for when the first place cannot be written.
    static QStringList defaultLockPaths();

private:
    QStringList paths_;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace clavora
