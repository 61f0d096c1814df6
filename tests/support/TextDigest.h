#pragma once
// A short fingerprint of a long table of texts, so that a table the user
// reads can be checked letter for letter without copying it into the tests:
// the lines are sorted, joined by line feeds, hashed (SHA-256 of the UTF-8)
// and the first 16 hex digits kept. Print the lines when the check fails, to
// compare them with the design by eye.
#include <QCryptographicHash>
#include <QStringList>

#include <string>

namespace clavora::test {

inline std::string textDigest(QStringList lines)
{
    lines.sort();
    const QByteArray text = lines.join(QLatin1Char('\n')).toUtf8();
    return QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex().left(16).toStdString();
}

} // namespace clavora::test
