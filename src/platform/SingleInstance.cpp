#include "SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

namespace clavora {

SingleInstance::SingleInstance(QStringList lockPaths)
    : paths_(std::move(lockPaths))
{
}

SingleInstance::SingleInstance(const QString& lockPath)
    : SingleInstance(QStringList {lockPath})
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::tryAcquire()
{
    if (lock_)
        return true;
    for (const QString& path : std::as_const(paths_)) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        auto lock = std::make_unique<QLockFile>(path);
        // No age limit: a lock is stale only when its process no longer
        // runs, however long the holder has been playing.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            lock_ = std::move(lock);
            return true;
        }
        if (lock->error() == QLockFile::LockFailedError)
            return false;
        // This place cannot be written: try the next.
    }
    return true;
}

QString SingleInstance::lockPath() const
{
    return lock_ ? lock_->fileName() : QString();
}

QString SingleInstance::defaultLockPath()
{
    // Without XDG_RUNTIME_DIR, Qt would warn on the terminal and make up a
    // directory of its own: go to the temporary directory straight away.
    bool hasRuntimeDir = true;
#if defined(Q_OS_UNIX)
    hasRuntimeDir = !qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR");
#endif
    if (hasRuntimeDir) {
        const QString directory = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!directory.isEmpty())
            return directory + QStringLiteral("/clavora.lock");
    }
    // The temporary directory is shared by all users; one user's instance
    // must not keep another's from starting.
    QString name = QStringLiteral("clavora.lock");
#if defined(Q_OS_UNIX)
    name = QStringLiteral("clavora-%1.lock").arg(::getuid());
#endif
    return QStandardPaths::writableLocation(QStandardPaths::TempLocation) + QLatin1Char('/') + name;
}

QStringList SingleInstance::defaultLockPaths()
{
    QStringList paths {defaultLockPath()};
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (!cache.isEmpty())
        paths << cache + QStringLiteral("/clavora/clavora.lock");
    return paths;
}

} // namespace clavora
