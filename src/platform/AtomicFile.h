#pragma once
#include <QByteArray>
#include <QString>

#include <functional>

namespace clavora {

// Writes a file so that it appears whole or not at all: the bytes go to a
// file beside it, which replaces `path` only once everything is on disk. On
// failure nothing is left behind and the reason is returned ("No space left
// on device"); an empty string means the file was written.
QString saveFileAtomically(const QString& path, const QByteArray& bytes);

// As above, with the contents copied from the file at `source` in pieces,
// for files too large to hold in memory.
QString copyFileAtomically(const QString& source, const QString& path);

} // namespace clavora
