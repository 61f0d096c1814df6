#include "piano/WindowLayout.h"

#include <gtest/gtest.h>

using namespace clavora;

namespace {

constexpr int kDesignHeight = 7545 + 300; // client area and a menu bar
constexpr std::array<int, kBlockCount> kTops{2760, 4050, 1050, 4000, 960};

struct ViewRow {
    bool toolbar;
    bool mainPanel;
    int height;
    int shift; // how far every block moves up
    int mainPanelFrameTop;
};

class ArrangeWindow : public ::testing::TestWithParam<ViewRow> {};

TEST_P(ArrangeWindow, FollowsTheViewItems)
{
    const ViewRow& row = GetParam();
    const WindowArrangement arranged = arrangeWindow(kDesignHeight, kTops, row.toolbar, row.mainPanel);
    EXPECT_EQ(arranged.windowHeight, row.height);
    for (std::size_t i = 0; i < kTops.size(); ++i)
        EXPECT_EQ(arranged.blockTops[i], kTops[i] - row.shift) << "block " << i;
    EXPECT_EQ(arranged.mainPanelFrameTop, row.mainPanelFrameTop);
    EXPECT_EQ(arranged.chordPanelFrameTop, row.mainPanelFrameTop + 3075);
}

INSTANTIATE_TEST_SUITE_P(Layout, ArrangeWindow,
                         ::testing::Values(ViewRow{true, true, kDesignHeight, 0, 915},
                                           ViewRow{false, true, kDesignHeight - 915, 915, 0},
                                           ViewRow{true, false, kDesignHeight - 6630, 0, 915},
                                           ViewRow{false, false, kDesignHeight - 7545, 915, 0}));

TEST(StealthSwitch, StartsTheCommandLineInAnyCaseAndTheRestIsTheTitle)
{
    const std::pair<const char*, std::optional<QString>> rows[] = {
        {"/stealth", QString()},          {"/STEALTHMy Title", QStringLiteral("My Title")},
        {"/STEALTH My Title", QStringLiteral(" My Title")}, {"   /Stealth   ", QString()},
        {"/STEALT", std::nullopt},        {"-STEALTH", std::nullopt},
        {"", std::nullopt},               {"x /STEALTH", std::nullopt}};
    for (const auto& [line, title] : rows)
        EXPECT_EQ(stealthText(QString::fromLatin1(line)), title) << line;
}

} // namespace
