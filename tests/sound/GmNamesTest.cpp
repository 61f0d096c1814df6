#include "sound/GmNames.h"

#include <gtest/gtest.h>

namespace clavora::sound {
namespace {

TEST(GmNames, InstrumentLabelsShowThreeDigitsADashAndTheProgramsOwnSpelling)
{
    EXPECT_EQ(instrumentLabel(0), "000 - Acoustic Grand Piano");
    EXPECT_EQ(instrumentLabel(7), "007 - Clavinet");
    EXPECT_EQ(instrumentLabel(31), "031 - Guitar Harmonics ");  // the name's trailing blank stays
    EXPECT_EQ(instrumentLabel(45), "045 - Pizcato Strings");
    EXPECT_EQ(instrumentLabel(81), "081 - Lead 2 (saw tooth)");
    EXPECT_EQ(instrumentLabel(127), "127 - Gunshot");
    EXPECT_TRUE(instrumentName(128).isEmpty());
    EXPECT_TRUE(instrumentName(-1).isEmpty());
}

TEST(GmNames, DrumNamesCoverPercussionNotes35To81)
{
    EXPECT_EQ(drumName(0), "Acoustic Bass Drum");
    EXPECT_EQ(drumName(9), "Pedal Hi-Hat");
    EXPECT_EQ(drumName(46), "Open Triangle");
    EXPECT_TRUE(drumName(47).isEmpty());
    EXPECT_EQ(drumNameLine(0), "00 - Acoustic Bass Drum");
    EXPECT_EQ(drumNameLine(46), "46 - Open Triangle");

    for (int number = 0; number < kDrumNameCount; ++number)
        EXPECT_FALSE(drumName(number).isEmpty()) << number;
    for (int program = 0; program < kInstrumentCount; ++program)
        EXPECT_FALSE(instrumentName(program).isEmpty()) << program;
}

} // namespace
} // namespace clavora::sound
