#include "platform/MidiConstants.h"
#include "platform/RecordingMidiOutput.h"
#include "platform/TraceMidiOutput.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace clavora {
namespace {

using midi::packShortMessage;

QStringList linesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)
                                          : QStringList();
}

// One line per message the open device took, in the file as soon as it has
// gone, after what the file held; nothing while no device is open.
TEST(TraceMidiOutput, WritesWhatTheOpenDeviceTakes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("trace.txt");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("12.500 90 40 50\n");
    old.close();
    QElapsedTimer start;
    start.start();
    RecordingMidiOutput device{{"First", "Second"}};
    device.setFailing({0});
    TraceMidiOutput trace(device, path, start);
    ASSERT_TRUE(trace.isTracing());
    EXPECT_FALSE(trace.send(packShortMessage(0x90, 60, 100)));
    EXPECT_FALSE(trace.open(0));
    EXPECT_FALSE(trace.send(packShortMessage(0x90, 60, 100)));
    ASSERT_TRUE(trace.open(1));
    EXPECT_TRUE(trace.send(packShortMessage(0xBF, midi::kAllSoundOff, 0)));
    EXPECT_EQ(linesOf(path).size(), 2);
    trace.send(packShortMessage(0x8A, 0x0B, 0x00));
    const double end = double(start.nsecsElapsed()) / 1e6;
    trace.close();
    EXPECT_FALSE(trace.send(packShortMessage(0x90, 60, 100)));

    const QStringList lines = linesOf(path);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "12.500 90 40 50");
    EXPECT_EQ(lines[1].section(' ', 1), "BF 78 00");
    EXPECT_EQ(lines[2].section(' ', 1), "8A 0B 00");
    EXPECT_LE(0.0, lines[1].section(' ', 0, 0).toDouble());
    EXPECT_LE(lines[1].section(' ', 0, 0).toDouble(), lines[2].section(' ', 0, 0).toDouble());
    EXPECT_LE(lines[2].section(' ', 0, 0).toDouble(), end + 0.001);
    EXPECT_EQ(device.log(), (std::vector<std::string>{"open 0", "open 1", "BF 78 00", "8A 0B 00", "close"}));
}

TEST(TraceMidiOutput, WithoutAFileEverythingStillReachesTheDevice)
{
    auto owned = std::make_unique<RecordingMidiOutput>(std::vector<std::string>{"Only"});
    RecordingMidiOutput& inner = *owned;
    TraceMidiOutput trace(std::move(owned), QStringLiteral("/proc/no/such/dir/trace.txt"), QElapsedTimer());
    EXPECT_FALSE(trace.isTracing());
    EXPECT_EQ(trace.deviceCount(), 1);
    EXPECT_EQ(trace.deviceName(0), "Only");
    ASSERT_TRUE(trace.open(0));
    EXPECT_TRUE(trace.isOpen());
    EXPECT_TRUE(trace.send(packShortMessage(0x91, 61, 99)));
    trace.close();
    EXPECT_EQ(inner.log(), (std::vector<std::string>{"open 0", "91 3D 63", "close"}));
}

TEST(TraceMidiOutput, LinesHaveThreeDecimalsAndUpperCaseHexWhateverTheLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(TraceMidiOutput::formatLine(1534.2071, packShortMessage(0x90, 0x3C, 0x7F)), "1534.207 90 3C 7F");
    EXPECT_EQ(TraceMidiOutput::formatLine(0, packShortMessage(0xBF, 0x78, 0x00)), "0.000 BF 78 00");
    EXPECT_EQ(TraceMidiOutput::formatLine(123456.0, packShortMessage(0xCA, 0x0A, 0x00)), "123456.000 CA 0A 00");
    QLocale::setDefault(previous);
}

} // namespace
} // namespace clavora
