#include "piano/WindowLayout.h"

#include <gtest/gtest.h>

using namespace clavora;

namespace {

constexpr int kDesignHeight = 7545 + 300;  // client area and a menu bar
constexpr std::array<int, kBlockCount> kTops{2760, 4050, 1050, 4000, 960};

TEST(ArrangeWindow, HeightsForEveryCombinationOfTheViewItems)
{
    EXPECT_EQ(arrangeWindow(kDesignHeight, kTops, true, true).windowHeight, kDesignHeight);
    EXPECT_EQ(arrangeWindow(kDesignHeight, kTops, false, true).windowHeight, kDesignHeight - 915);
    EXPECT_EQ(arrangeWindow(kDesignHeight, kTops, true, false).windowHeight, kDesignHeight - 6630);
    EXPECT_EQ(arrangeWindow(kDesignHeight, kTops, false, false).windowHeight, kDesignHeight - 7545);
}

TEST(ArrangeWindow, HidingTheToolbarMovesTheBlocksUp)
{
    const WindowArrangement hidden = arrangeWindow(kDesignHeight, kTops, false, true);
    for (std::size_t i = 0; i < kTops.size(); ++i)
        EXPECT_EQ(hidden.blockTops[i], kTops[i] - 915);
    EXPECT_EQ(hidden.mainPanelFrameTop, 0);
    EXPECT_EQ(hidden.chordPanelFrameTop, 3075);

    const WindowArrangement shown = arrangeWindow(kDesignHeight, kTops, true, true);
    EXPECT_EQ(shown.blockTops, kTops);
    EXPECT_EQ(shown.mainPanelFrameTop, 915);
    EXPECT_EQ(shown.chordPanelFrameTop, 915 + 3075);
}

TEST(ArrangeWindow, ToolbarBackAfterHidingBoth)
{
    const WindowArrangement a = arrangeWindow(kDesignHeight, kTops, true, false);
    EXPECT_EQ(a.windowHeight, kDesignHeight - 6630);
    EXPECT_EQ(a.mainPanelFrameTop, 915);
}

TEST(StealthSwitch, RecognisedInAnyCaseAfterTrimming)
{
    EXPECT_EQ(stealthText(QStringLiteral("/stealth")), QString());
    EXPECT_EQ(stealthText(QStringLiteral("/STEALTHMy Title")), QStringLiteral("My Title"));
    EXPECT_EQ(stealthText(QStringLiteral("/STEALTH My Title")), QStringLiteral(" My Title"));
    EXPECT_EQ(stealthText(QStringLiteral("   /Stealth   ")), QString());
}

TEST(StealthSwitch, OtherCommandLinesAreIgnored)
{
    EXPECT_FALSE(stealthText(QStringLiteral("/STEALT")).has_value());
    EXPECT_FALSE(stealthText(QStringLiteral("-STEALTH")).has_value());
    EXPECT_FALSE(stealthText(QString()).has_value());
    EXPECT_FALSE(stealthText(QStringLiteral("x /STEALTH")).has_value());
}

} // namespace
