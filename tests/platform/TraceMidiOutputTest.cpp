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

class TraceMidiOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        start.start();
    }
    QStringList lines() const
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    QTemporaryDir dir;
    QString path = dir.filePath("trace.txt");
    QElapsedTimer start;
    RecordingMidiOutput device{{"First", "Second"}};
};

// One line per message the open device took, in the file as soon as it has
// gone, appended to what the file held; nothing while no device is open.
TEST_F(TraceMidiOutputTest, WritesWhatTheOpenDeviceTakes)
{
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("12.500 90 40 50\n");
    }
    TraceMidiOutput trace(device, path, start);
    ASSERT_TRUE(trace.isTracing());
    EXPECT_FALSE(trace.send(packShortMessage(0x90, 60, 100)));
    device.setFailing({0});
    EXPECT_FALSE(trace.open(0));
    EXPECT_FALSE(trace.send(packShortMessage(0x90, 60, 100)));
    ASSERT_TRUE(trace.open(1));
    EXPECT_TRUE(trace.send(packShortMessage(0xBF, midi::kAllSoundOff, 0)));
    EXPECT_EQ(lines().size(), 2);
    trace.send(packShortMessage(0x8A, 0x0B, 0x00));
    const double end = double(start.nsecsElapsed()) / 1e6;
    trace.close();
    EXPECT_FALSE(trace.send(packShortMessage(0x90, 60, 100)));

    const QStringList written = lines();
    ASSERT_EQ(written.size(), 3);
    EXPECT_EQ(written[0], "12.500 90 40 50");
    EXPECT_TRUE(written[1].endsWith(" BF 78 00")) << written[1].toStdString();
    EXPECT_TRUE(written[2].endsWith(" 8A 0B 00")) << written[2].toStdString();
    const double first = written[1].section(' ', 0, 0).toDouble();
    const double second = written[2].section(' ', 0, 0).toDouble();
    EXPECT_LE(0.0, first);
    EXPECT_LE(first, second);
    EXPECT_LE(second, end + 0.001);
    EXPECT_EQ(device.messages().size(), 2u);
}

TEST_F(TraceMidiOutputTest, WithoutAFileEverythingStillReachesTheDevice)
{
    auto owned = std::make_unique<RecordingMidiOutput>(std::vector<std::string>{"Only"});
    RecordingMidiOutput& inner = *owned;
    TraceMidiOutput trace(std::move(owned), dir.filePath("no/such/dir/trace.txt"), start);
    EXPECT_FALSE(trace.isTracing());
    EXPECT_EQ(trace.deviceCount(), 1);
    EXPECT_EQ(trace.deviceName(0), "Only");
    ASSERT_TRUE(trace.open(0));
    EXPECT_TRUE(trace.isOpen());
    EXPECT_TRUE(trace.send(packShortMessage(0x91, 61, 99)));
    trace.close();
    EXPECT_EQ(inner.log(), (std::vector<std::string>{"open 0", "91 3D 63", "close"}));
}

TEST(TraceLine, HasThreeDecimalsAndUpperCaseHexWhateverTheLocale)
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
