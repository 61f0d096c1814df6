#include "TextDigest.h"
#include "sound/GmNames.h"

#include <gtest/gtest.h>

namespace clavora::sound {
namespace {

// Every label and drum line as the user reads them, the program's own
// spellings (and the trailing blank of program 31) included.
TEST(GmNames, EveryLabelAndDrumLineAsDesigned)
{
    QStringList labels;
    for (int program = 0; program < kInstrumentCount; ++program)
        labels << instrumentLabel(program);
    QStringList drums;
    for (int number = 0; number < kDrumNameCount; ++number)
        drums << drumNameLine(number);
    EXPECT_EQ(test::textDigest(labels), "35c3f320ee224521") << labels.join('\n').toStdString();
    EXPECT_EQ(test::textDigest(drums), "4c0ebaa7ba51fecd") << drums.join('\n').toStdString();
    EXPECT_EQ(instrumentLabel(31), "031 - Guitar Harmonics ");
    EXPECT_EQ(drumName(46), "Open Triangle");
}

TEST(GmNames, NumbersOutsideTheTablesHaveNoName)
{
    for (int program : {-1, kInstrumentCount})
        EXPECT_TRUE(instrumentName(program).isEmpty()) << program;
    for (int number : {-1, kDrumNameCount})
        EXPECT_TRUE(drumName(number).isEmpty()) << number;
}

} // namespace
} // namespace clavora::sound
