#pragma once
// Tells whether another copy of the program is running, by a lock file.
#include <QString>

#include <memory>

class QLockFile;

namespace clavora {

class SingleInstance {
public:
    explicit SingleInstance(const QString& lockPath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the lock and keeps it for the lifetime of this object. False
    // only when another running process holds it; a lock left behind by a
    // process that has ended is taken over. When the lock file cannot be
    // written at all, the answer is true: the program then runs unguarded
    // rather than not at all.
    bool tryAcquire();

    // "clavora.lock" in the per-user runtime directory; without one,
    // "clavora-<user id>.lock" in the temporary directory.
    static QString defaultLockPath();

private:
    std::unique_ptr<QLockFile> lock_;
};

} // namespace clavora
