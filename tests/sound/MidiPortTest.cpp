#include "PlayingFixture.h"
#include "TextDigest.h"
#include "sound/GmNames.h"

namespace clavora::test {
namespace {

// On device 0 as after start-up.
TEST_F(PlayingTest, MidiPortSendsDataOneInsideTheMidiRangeOnlyAndKeepsVelocityZero)
{
    port.sendShortMessage(0x90, 128, 100);
    port.sendShortMessage(0x90, -1, 100);
    port.sendShortMessage(0x90, 0, 100);
    port.sendShortMessage(0x90, 127, 100);
    port.sendShortMessage(0x93, 60, 0); // a slot volume of 0: still a note-on
    port.sendShortMessage(0xC7, 50, 0);
    EXPECT_EQ(sent(), (Log{"90 00 64", "90 7F 64", "93 3C 00", "C7 32 00"}));
}

TEST(MidiPort, MapsSlotsToChannelsAndNeverToTheDrumChannel)
{
    const std::pair<int, int> slotChannel[] = {{1, 0},   {2, 1},   {7, 6},  {8, 7},   {9, 8},      {10, 10},
                                               {14, 14}, {0, 0},   {15, 0}, {-1, 0},  {-32768, 0}, {32767, 0}};
    for (const auto& [slot, channel] : slotChannel)
        EXPECT_EQ(sound::midiChannelOf(slot), channel) << "slot " << slot;
}

TEST_F(PlayingTest, SilenceSendsAllSoundOffOnEveryChannelInOrder)
{
    piano.silence();
    Log expected;
    for (int channel = 0; channel < 16; ++channel)
        expected.push_back(QString::asprintf("B%X 78 00", channel).toStdString());
    EXPECT_EQ(sent(), expected);
}

// Every label and drum line as the user reads them, the program's own
// spellings (and the trailing blank of program 31) included.
TEST(GmNames, EveryLabelAndDrumLineAsDesigned)
{
    QStringList labels;
    for (int program = 0; program < sound::kInstrumentCount; ++program)
        labels << sound::instrumentLabel(program);
    QStringList drums;
    for (int number = 0; number < sound::kDrumNameCount; ++number)
        drums << sound::drumNameLine(number);
    EXPECT_EQ(textDigest(labels), "35c3f320ee224521") << labels.join('\n').toStdString();
    EXPECT_EQ(textDigest(drums), "4c0ebaa7ba51fecd") << drums.join('\n').toStdString();
    EXPECT_EQ(sound::instrumentLabel(31), "031 - Guitar Harmonics ");
    EXPECT_EQ(sound::drumName(46), "Open Triangle");
}

TEST(GmNames, NumbersOutsideTheTablesHaveNoName)
{
    for (int program : {-1, sound::kInstrumentCount})
        EXPECT_TRUE(sound::instrumentName(program).isEmpty()) << program;
    for (int number : {-1, sound::kDrumNameCount})
        EXPECT_TRUE(sound::drumName(number).isEmpty()) << number;
}

} // namespace
} // namespace clavora::test
