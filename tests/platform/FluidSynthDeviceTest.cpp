#include "StderrCapture.h"
#include "WavFile.h"
#include "platform/FluidSynthDevice.h"
#include "platform/MidiConstants.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace clavora {
namespace {

using midi::packShortMessage;
using test::StderrCapture;
using test::readWav;
using test::Wav;

FluidSynthDevice::Config systemConfig(std::string settings)
{
    FluidSynthDevice::Config config = FluidSynthDevice::Config::fromEnvironment();
    config.settings = std::move(settings);
    return config;
}

TEST(FluidSynthDevice, BufferLatencyStaysWithinTenMilliseconds)
{
    const FluidSynthDevice synth(systemConfig(""));
    EXPECT_DOUBLE_EQ(synth.bufferLatencyMs(), 3 * 128 * 1000.0 / 48000);
    EXPECT_LE(synth.bufferLatencyMs(), 10.0);
}

TEST(FluidSynthDevice, UserSettingsOverrideOursAndBadOnesAreIgnored)
{
    const FluidSynthDevice larger(systemConfig("audio.periods=2 audio.period-size=256 synth.sample-rate=44100"));
    EXPECT_DOUBLE_EQ(larger.bufferLatencyMs(), 2 * 256 * 1000.0 / 44100);

    const FluidSynthDevice bad(systemConfig("audio.periods=many synth.sample-rate=fast no.such.setting=3 audio.period-size=12x"));
    EXPECT_DOUBLE_EQ(bad.bufferLatencyMs(), 3 * 128 * 1000.0 / 48000);
}

TEST(FluidSynthDevice, OpenFailsWithoutSoundFontOrWithAnUnreadableOne)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string wav = dir.filePath("out.wav").toStdString();

    FluidSynthDevice none({{dir.filePath("missing.sf2").toStdString()}, "audio.driver=file audio.file.name=" + wav});
    EXPECT_EQ(none.soundFontPath(), "");
    EXPECT_FALSE(none.open());
    EXPECT_FALSE(none.isOpen());
    EXPECT_FALSE(none.send(packShortMessage(midi::kNoteOn, 60, 100)));

    const QString junk = dir.filePath("junk.sf2");
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("this is no SoundFont");
    file.close();
    FluidSynthDevice broken({{junk.toStdString()}, "audio.driver=file audio.file.name=" + wav});
    StderrCapture capture;
    EXPECT_FALSE(broken.open());
    const std::string said = capture.finish();
    EXPECT_NE(said.find("junk.sf2"), std::string::npos) << "the unusable file is named: " << said;
    EXPECT_FALSE(broken.isOpen());
}

TEST(FluidSynthDevice, PlaysANoteIntoTheFileDriver)
{
    if (FluidSynthDevice(systemConfig("")).soundFontPath().empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("take.wav");
    {
        FluidSynthDevice synth(systemConfig("audio.driver=file audio.file.name=" + path.toStdString()));
        ASSERT_TRUE(synth.open());
        EXPECT_TRUE(synth.isOpen());
        EXPECT_TRUE(synth.send(packShortMessage(midi::kProgramChange, 0, 0)));
        EXPECT_TRUE(synth.send(packShortMessage(midi::kNoteOn, 60, 127)));
        EXPECT_FALSE(synth.send(packShortMessage(midi::kNoteOn, 200, 127)));

        // The file driver renders in real time, from the moment its output
        // opened; let a quarter of a second of the note reach the file.
        const qint64 kWanted = QFileInfo(path).size() + 48000 * 2 * 2 / 4;
        QElapsedTimer waited;
        waited.start();
        while (QFileInfo(path).size() < kWanted && waited.elapsed() < 1500)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_GE(QFileInfo(path).size(), kWanted);
        EXPECT_TRUE(synth.send(packShortMessage(midi::kNoteOff, 60, 0)));
        EXPECT_TRUE(synth.send(packShortMessage(midi::kControlChange, midi::kAllSoundOff, 0)));
        synth.close();
        EXPECT_FALSE(synth.isOpen());
        EXPECT_FALSE(synth.send(packShortMessage(midi::kNoteOn, 60, 127)));
    }
    const Wav wav = readWav(path);
    EXPECT_EQ(wav.sampleRate, 48000);
    EXPECT_EQ(wav.channels, 2);
    ASSERT_FALSE(wav.samples.empty());
    int peak = 0;
    for (const qint16 sample : wav.samples)
        peak = std::max(peak, std::abs(int(sample)));
    EXPECT_GT(peak, 1000) << "the note is (nearly) silent";
}

TEST(FluidSynthDevice, OpeningTheRealAudioOutputPrintsNothing)
{
    FluidSynthDevice synth(systemConfig(""));
    if (synth.soundFontPath().empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    // Whether or not an audio output works here, the libraries keep quiet.
    StderrCapture capture;
    synth.open();
    synth.close();
    EXPECT_EQ(capture.finish(), "");
    EXPECT_FALSE(synth.isOpen());
}

} // namespace
} // namespace clavora
