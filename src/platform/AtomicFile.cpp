#include "AtomicFile.h"

#include <QFile>
#include <QSaveFile>

namespace clavora {

namespace {

constexpr qint64 kPieceSize = 1 << 20;

// Writes through `write` into a new file at `path`; returns the reason it
// failed, or an empty string.
QString writeAtomically(const QString& path, const std::function<QString(QSaveFile&)>& write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (const QString error = write(file); !error.isEmpty()) {
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
    return writeAtomically(
        path, [&](QSaveFile& file) { return file.write(bytes) == bytes.size() ? QString() : file.errorString(); });
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
            if (file.write(piece) != piece.size())
                return file.errorString();
        }
        return QString();
    });
}

} // namespace clavora
