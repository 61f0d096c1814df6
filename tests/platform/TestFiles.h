#pragma once
// Files the platform tests write, and the WAV files the synthesizer writes
// read back.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace clavora::test {

// Writes `contents` into a new file and returns its path.
inline std::string writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
    return path.toStdString();
}

inline int countOf(const std::string& text, const std::string& word)
{
    int count = 0;
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++count;
    return count;
}

struct Wav {
    int sampleRate = 0;
    int channels = 0;
    std::vector<qint16> samples;
};

// Reads the 16-bit samples of a PCM WAV file, checking that its chunk sizes
// agree with the file's length (they are written when rendering stops).
inline Wav readWav(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    Wav wav;
    EXPECT_GE(bytes.size(), 44);
    if (bytes.size() < 44)
        return wav;
    EXPECT_EQ(bytes.left(4), "RIFF");
    EXPECT_EQ(bytes.mid(8, 4), "WAVE");
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 4), quint32(bytes.size() - 8));
    for (qsizetype pos = 12; pos + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(pos, 4);
        const auto size = qFromLittleEndian<quint32>(bytes.constData() + pos + 4);
        const char* body = bytes.constData() + pos + 8;
        if (id == "fmt ") {
            EXPECT_EQ(qFromLittleEndian<quint16>(body), 1); // PCM
            wav.channels = qFromLittleEndian<quint16>(body + 2);
            wav.sampleRate = static_cast<int>(qFromLittleEndian<quint32>(body + 4));
            EXPECT_EQ(qFromLittleEndian<quint16>(body + 14), 16);
        } else if (id == "data") {
            EXPECT_EQ(pos + 8 + qsizetype(size), bytes.size());
            const qsizetype count = std::min<qsizetype>(size, bytes.size() - pos - 8) / 2;
            for (qsizetype i = 0; i < count; ++i)
                wav.samples.push_back(qFromLittleEndian<qint16>(body + 2 * i));
            break;
        }
        pos += 8 + size + (size & 1);
    }
    return wav;
}

} // namespace clavora::test
