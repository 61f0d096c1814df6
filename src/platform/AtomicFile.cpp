#include "AtomicFile.h"

#include <QFile>
#include <QSaveFile>

namespace clavora {

namespace {

constexpr qint64 kPieceSize = 1 << 20;

// Writes all of the bytes: a write that stops short (the disk filled up) is
// followed by one for the rest, which then fails with the reason.
QString writeAll(QSaveFile& file, const QByteArray& bytes)
{
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return file.errorString();
        done += written;
    }
    return {};
}

// Writes through `write` into a new file at `path`; returns the reason it
// failed, or an empty string.
QString writeAtomically(const QString& path, const std::function<QString(QSaveFile&)>& write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    // Written out before the commit, so that a full disk is told as such.
    QString error = write(file);
    if (error.isEmpty() && !file.flush())
        error = file.errorString();
    if (!error.isEmpty()) {
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace

QString saveFileAtomically(const QString& path, const QByteArray& bytes)
{
    return writeAtomically(path, [&](QSaveFile& file) { return writeAll(file, bytes); });
}

QString copyFileAtomically(const QString& source, const QString& path)
{
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly))
        return input.errorString();
    return writeAtomically(path, [&](QSaveFile& file) {
        while (!input.atEnd()) {
            const QByteArray piece = input.read(kPieceSize);
            if (input.error() != QFileDevice::NoError)
                return input.errorString();
            if (const QString error = writeAll(file, piece); !error.isEmpty())
                return error;
        }
        return QString();
    });
}

} // namespace clavora
