#pragma once
// What the platform tests share: the files they write, the MIDI and WAV
// files of a take read back, what the program prints on stderr, and a JACK
// server of their own.
#include "JackTestServer.h"
#include "RecordingMidiOutput.h"
#include "platform/FluidSynthDevice.h"
#include "platform/MidiConstants.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace clavora {
using midi::packShortMessage;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;
} // namespace clavora

// Skips a test that plays through a General MIDI SoundFont where none is installed.
#define SKIP_WITHOUT_SOUNDFONT()                                                                                       \
    do {                                                                                                               \
        if (::clavora::FluidSynthDevice(::clavora::FluidSynthDevice::Config::fromEnvironment())                        \
                .soundFontPath()                                                                                       \
                .empty())                                                                                              \
            GTEST_SKIP() << "no General MIDI SoundFont installed";                                                     \
    } while (false)

namespace clavora::test {

// Writes `contents` into a new file and returns its path.
inline std::string writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
    return path.toStdString();
}

inline qsizetype countOf(const std::string& text, const std::string& word)
{
    return QByteArray::fromStdString(text).count(QByteArray::fromStdString(word));
}

// The events of a format 0 file, one line each: the tick, then the bytes in
// hexadecimal ("1000 80 3C 00", "2100 FF 2F 00"), after checking the header
// and that the track's length is what follows it.
inline QStringList eventsOf(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.left(14).toHex(), "4d546864000000060000000101f4"); // format 0, one track, 500 a quarter
    EXPECT_EQ(bytes.mid(14, 4), "MTrk");
    EXPECT_EQ(qFromBigEndian<quint32>(bytes.constData() + 18), quint32(bytes.size() - 22));
    QStringList events;
    long long tick = 0;
    for (qsizetype at = 22; at < bytes.size();) {
        long long delta = 0;
        do
            delta = (delta << 7) | (bytes[at] & 0x7F);
        while (bytes[at++] & 0x80);
        tick += delta;
        const auto status = static_cast<quint8>(bytes[at]);
        const int size = status == 0xFF ? 3 + bytes[at + 2] : (status & 0xE0) == 0xC0 ? 2 : 3;
        events << QStringLiteral("%1 %2").arg(tick).arg(QString::fromLatin1(bytes.mid(at, size).toHex(' ').toUpper()));
        at += size;
    }
    return events;
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
    const qsizetype fmt = bytes.indexOf("fmt ", 12) + 8;
    const qsizetype data = bytes.indexOf("data", 12) + 8;
    Wav wav;
    if (bytes.size() < 44 || fmt <= 8 || data <= 8) {
        ADD_FAILURE() << "no header, format or data chunk";
        return wav;
    }
    const auto word = [&](qsizetype at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    const auto half = [&](qsizetype at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    EXPECT_EQ(bytes.left(4), "RIFF");
    EXPECT_EQ(bytes.mid(8, 4), "WAVE");
    EXPECT_EQ(word(4), quint32(bytes.size() - 8));
    EXPECT_EQ(half(fmt), 1); // PCM
    EXPECT_EQ(half(fmt + 14), 16);
    EXPECT_EQ(data + qsizetype(word(data - 4)), bytes.size());
    wav.channels = half(fmt + 2);
    wav.sampleRate = static_cast<int>(word(fmt + 4));
    for (qsizetype at = data; at + 1 < bytes.size(); at += 2)
        wav.samples.push_back(static_cast<qint16>(half(at)));
    return wav;
}

// The ids of this process's threads, as /proc/self/task lists them.
inline QStringList threadsOfThisProcess()
{
    return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

// Waits (ten seconds at most) until no more threads run than `count`: a
// call left late to a sound server ends on a thread of its own, which must
// not end while the process does.
inline void waitForThreadsBackTo(qsizetype count)
{
    for (const QDeadlineTimer deadline(10000); threadsOfThisProcess().size() > count && !deadline.hasExpired();)
        QThread::msleep(1);
}

} // namespace clavora::test
