#include "platform/MidiConstants.h"
#include "platform/RecordingMidiOutput.h"
#include "platform/TraceMidiOutput.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace clavora {
namespace {

using midi::packShortMessage;

QStringList linesOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

class TraceMidiOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("trace.txt");
    }
    QTemporaryDir dir;
    QString path;
    RecordingMidiOutput device{{"First", "Second"}};
};

TEST_F(TraceMidiOutputTest, WritesOneLinePerMessageHandedToTheOpenDevice)
{
    QElapsedTimer start;
    start.start();
    TraceMidiOutput trace(device, path, start);
    ASSERT_TRUE(trace.isTracing());
    ASSERT_TRUE(trace.open(1));
    const double before = static_cast<double>(start.nsecsElapsed()) / 1e6;

    EXPECT_TRUE(trace.send(packShortMessage(0x90, 0x3C, 0x7F)));
    // Each line is in the file as soon as the message has gone.
    EXPECT_EQ(linesOf(path).size(), 1);
    trace.send(packShortMessage(0xC5, 0x13, 0));
    trace.send(packShortMessage(0xBF, midi::kAllSoundOff, 0));
    trace.send(packShortMessage(0x8A, 0x0B, 0x00));
    const double after = static_cast<double>(start.nsecsElapsed()) / 1e6;

    const QStringList lines = linesOf(path);
    ASSERT_EQ(lines.size(), 4);
    const QRegularExpression format(R"(^\d+\.\d{3} [0-9A-F]{2} [0-9A-F]{2} [0-9A-F]{2}$)");
    const QStringList expected{"90 3C 7F", "C5 13 00", "BF 78 00", "8A 0B 00"};
    double previous = before - 0.001;
    for (int i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(format.match(lines[i]).hasMatch()) << lines[i].toStdString();
        const qsizetype blank = lines[i].indexOf(' ');
        EXPECT_EQ(lines[i].mid(blank + 1), expected[i]);
        const double time = lines[i].left(blank).toDouble();
        EXPECT_GE(time, previous);
        EXPECT_LE(time, after + 0.001);
        previous = time;
    }
    EXPECT_EQ(device.messages().size(), 4u);
}

TEST_F(TraceMidiOutputTest, WritesNothingWhileNoDeviceIsOpen)
{
    QElapsedTimer start;
    start.start();
    TraceMidiOutput trace(device, path, start);
    EXPECT_FALSE(trace.send(packShortMessage(0x90, 60, 100)));
    device.setFailing({1});
    EXPECT_FALSE(trace.open(1));
    EXPECT_FALSE(trace.send(packShortMessage(0x90, 60, 100)));
    EXPECT_TRUE(linesOf(path).isEmpty());
    ASSERT_TRUE(trace.open(0));
    trace.close();
    EXPECT_FALSE(trace.isOpen());
    EXPECT_FALSE(trace.send(packShortMessage(0x90, 60, 100)));
    EXPECT_TRUE(linesOf(path).isEmpty());
}

TEST_F(TraceMidiOutputTest, AppendsToAnExistingFile)
{
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("12.500 90 40 50\n");
    }
    QElapsedTimer start;
    start.start();
    for (int run = 0; run < 2; ++run) {
        TraceMidiOutput trace(device, path, start);
        ASSERT_TRUE(trace.open(0));
        trace.send(packShortMessage(0x80, 0x40 + run, 0));
    }
    const QStringList lines = linesOf(path);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "12.500 90 40 50");
    EXPECT_TRUE(lines[1].endsWith(" 80 40 00"));
    EXPECT_TRUE(lines[2].endsWith(" 80 41 00"));
}

TEST_F(TraceMidiOutputTest, PassesEverythingThroughToTheDevice)
{
    auto owned = std::make_unique<RecordingMidiOutput>(std::vector<std::string>{"Only"});
    RecordingMidiOutput& inner = *owned;
    QElapsedTimer start;
    start.start();
    // A file that cannot be created: the output still works, untraced.
    TraceMidiOutput trace(std::move(owned), dir.filePath("no/such/dir/trace.txt"), start);
    EXPECT_FALSE(trace.isTracing());
    EXPECT_EQ(trace.deviceCount(), 1);
    EXPECT_EQ(trace.deviceName(0), "Only");
    ASSERT_TRUE(trace.open(0));
    EXPECT_EQ(inner.openDevice(), 0);
    EXPECT_TRUE(trace.send(packShortMessage(0x91, 61, 99)));
    EXPECT_EQ(inner.messages(), (std::vector<RecordingMidiOutput::Message>{{0, 0x91, 61, 99}}));
    trace.close();
    EXPECT_EQ(inner.closeCount(), 1);
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
