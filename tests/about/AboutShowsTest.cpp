#include "AboutFixture.h"
#include "about/AboutShows.h"
#include "about/AboutTexts.h"
#include "about/Tunes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>

using namespace clavora::about;
using clavora::MessageIcon;

namespace {

using Log = std::vector<std::string>;

// Show 5 is the first English tune with Shift and Alt: a D major trumpet call.
TEST(TuneMidi, ProgramChangeThenNotesOnChannel15)
{
    clavora::test::AboutFixture f;
    AboutShows shows(f.words, f.port, f.platform, 1, nullptr);
    shows.playMelody(kShiftBit | kAltBit);

    const Log& log = f.midi.log();
    ASSERT_EQ(log.size(), 81u);
    const Log start(log.begin(), log.begin() + 7);
    EXPECT_EQ(start, (Log{"CF 38 00", "9F 3E 7F", "8F 3E 00", "9F 42 7F", "8F 42 00", "9F 45 7F", "8F 45 00"}));
    EXPECT_EQ(std::vector<int>(f.platform.waits.begin(), f.platform.waits.begin() + 4),
              (std::vector<int>{234, 234, 468, 468}));
    EXPECT_EQ(std::accumulate(f.platform.waits.begin(), f.platform.waits.end(), 0), 18300);
    EXPECT_TRUE(f.platform.pauses.empty()) << "a tune must wait without freezing the window";
    for (std::size_t i = 1; i < log.size(); i += 2) {
        EXPECT_EQ(log[i].substr(0, 2), "9F");
        EXPECT_EQ(log[i + 1], "8F" + log[i].substr(2, 3) + " 00");
    }
    EXPECT_EQ(shows.iconPicture(), 5);
    EXPECT_EQ(shows.authorPicture(), 5);
    EXPECT_FALSE(shows.isPlaying());
}

TEST(TuneMidi, PicturesChangeBeforeTheFirstNote)
{
    clavora::test::AboutFixture f;
    AboutShows shows(f.words, f.port, f.platform, 2, nullptr);
    std::size_t sentBeforePictures = 99;
    QObject::connect(&shows, &AboutShows::picturesChanged, [&] { sentBeforePictures = f.midi.log().size(); });
    shows.authorIconPressed(kCtrlBit);
    EXPECT_EQ(sentBeforePictures, 0u);
    EXPECT_EQ(f.midi.log().front(), "CF 2E 00");
    EXPECT_EQ(f.midi.log().size(), 1u + 2u * 273u);
    EXPECT_EQ(std::accumulate(f.platform.waits.begin(), f.platform.waits.end(), 0), 55200);
}

TEST(TuneMidi, PlainQAndOtherKeysPlayNothing)
{
    clavora::test::AboutFixture f;
    AboutShows shows(f.words, f.port, f.platform, 1, nullptr);
    shows.keyDown(AboutShows::kKeyQ, 0);
    shows.keyDown('W', kShiftBit);
    shows.authorIconPressed(0);
    EXPECT_TRUE(f.midi.log().empty());
    EXPECT_EQ(shows.authorPicture(), kDesignPicture);
}

// The program closing in the middle of a tune: the sounding note goes off at
// once and nothing else is sent.
TEST(TuneMidi, StoppedDuringANoteSilencesItAndEnds)
{
    clavora::test::AboutFixture f;
    AboutShows shows(f.words, f.port, f.platform, 1, nullptr);
    f.platform.onWait = [&](int) {
        if (f.platform.waits.size() == 3)
            shows.stopTune();
    };
    shows.keyDown(AboutShows::kKeyQ, kShiftBit | kAltBit);
    EXPECT_EQ(f.midi.log(), (Log{"CF 38 00", "9F 3E 7F", "8F 3E 00", "9F 42 7F", "8F 42 00", "9F 45 7F", "8F 45 00"}));
    EXPECT_EQ(f.platform.waits.size(), 3u);
    EXPECT_FALSE(shows.isPlaying());
}

TEST(TuneMidi, WaitCutShortByTheProgramQuittingEndsTheTune)
{
    clavora::test::AboutFixture f;
    AboutShows shows(f.words, f.port, f.platform, 3, nullptr);
    f.platform.onWait = [&](int) { f.platform.cancelWait(); };
    shows.playMelody(kShiftBit);
    ASSERT_EQ(f.midi.log().size(), 3u);
    EXPECT_EQ(f.midi.log()[0], "CF 00 00");
    EXPECT_EQ(f.midi.log()[2].substr(0, 2), "8F");
}

struct FarewellRow {
    const char* name;
    std::function<void(AboutShows&)> shows;
    std::vector<std::string> farewell; // boxes shown by closing
};

class FarewellTest : public ::testing::TestWithParam<FarewellRow> {};

TEST_P(FarewellTest, ClosingSaysTheLineOfTheLastPicture)
{
    clavora::test::AboutFixture f;
    AboutShows shows(f.words, f.port, f.platform, 2, nullptr);
    GetParam().shows(shows);
    const std::size_t before = f.platform.boxes.size();
    shows.closing();
    std::vector<std::string> said;
    for (std::size_t i = before; i < f.platform.boxes.size(); ++i) {
        EXPECT_EQ(f.platform.boxes[i].title, " ");
        EXPECT_EQ(f.platform.boxes[i].icon, MessageIcon::Information);
        said.push_back(f.platform.boxes[i].text);
    }
    EXPECT_EQ(said, GetParam().farewell);
}

INSTANTIATE_TEST_SUITE_P(
    Closing, FarewellTest,
    ::testing::Values(
        FarewellRow{"NoShow", [](AboutShows&) {}, {}},
        FarewellRow{"Show13",
                    [](AboutShows& s) { s.playMelody(kCtrlBit | kAltBit); },
                    {"Congratulations, Game Completed !"}},
        FarewellRow{"TwoShowsInARow",
                    [](AboutShows& s) {
                        s.playMelody(kCtrlBit | kAltBit);
                        s.playMelody(kShiftBit);
                    },
                    {tunes()[7].farewell.toStdString()}},
        FarewellRow{"ListingOnly", [](AboutShows& s) { s.showListing(); }, {}},
        FarewellRow{"JokePage", [](AboutShows& s) { s.showJokePage(); }, {jokePageAddress().toStdString()}},
        FarewellRow{"TuneThenJokeSite",
                    [](AboutShows& s) {
                        s.playMelody(kAltBit);
                        s.showJokeSite();
                    },
                    {jokeSiteAddress().toStdString()}},
        FarewellRow{"JokeSiteThenTune",
                    [](AboutShows& s) {
                        s.showJokeSite();
                        s.playMelody(kAltBit);
                    },
                    {tunes()[10].farewell.toStdString()}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JokePage, TwentySixWelcomesNamingTheSite)
{
    clavora::test::AboutFixture f;
    AboutShows shows(f.words, f.port, f.platform, 1, nullptr);
    shows.showJokePage();
    ASSERT_EQ(f.platform.boxes.size(), 26u);
    std::vector<std::string> distinct = f.boxTexts();
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    EXPECT_EQ(distinct.size(), 14u);
    for (const auto& box : f.platform.boxes) {
        EXPECT_EQ(box.title, " ");
        EXPECT_NE(box.text.find("Gargalhada"), std::string::npos) << box.text;
    }
    EXPECT_EQ(shows.authorPicture(), kJokePagePicture);
}

TEST(SecretWordReactions, TypedWordsStartTheirShows)
{
    clavora::test::AboutFixture f;
    AboutShows shows(f.words, f.port, f.platform, 3, nullptr);
    int listing = 0;
    int game = 0;
    QObject::connect(&shows, &AboutShows::listingShown, [&] { ++listing; });
    QObject::connect(&shows, &AboutShows::gameRequested, [&] { ++game; });
    for (const QChar c : QStringLiteral("xan tovra dravenok Mervo"))
        shows.keyPress(c);
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].title, "XAN");
    EXPECT_EQ(f.platform.boxes[0].text, "Clavora 2.6.0.0 (05/Junho/2015), criado por " + authorName().toStdString());
    EXPECT_EQ(listing, 1);
    EXPECT_EQ(game, 1);
    EXPECT_EQ(shows.authorPicture(), kJokeSitePicture);
    EXPECT_TRUE(f.midi.log().empty());
}

TEST(Listing, FortyThreeNumberedLinesJoinedByCrLf)
{
    const QStringList lines = listingLines();
    ASSERT_EQ(lines.size(), 43);
    int expected = 10;
    for (const QString& line : lines) {
        if (expected == 420)
            expected += 10;
        EXPECT_TRUE(line.startsWith(QString::number(expected) + QLatin1Char(' '))) << line.toStdString();
        expected += 10;
    }
    EXPECT_EQ(lines[0], QStringLiteral("10 PLAY \"O2L16\""));
    EXPECT_EQ(lines[2], QStringLiteral("30 IF A$ = CHR$(27) THEN END"));
    EXPECT_EQ(lines[16], QStringLiteral("170 IF A$ = \",\" THEN PLAY \"C\""));
    EXPECT_EQ(lines[30], QStringLiteral("310 IF A$ = \"6\" THEN PLAY \"C+\""));
    EXPECT_EQ(lines[40], QStringLiteral("410 IF A$ = \"[\" THEN PLAY \"B\""));
    EXPECT_EQ(lines[41], QStringLiteral("430 PLAY \"O2\""));
    const QString text = listingText();
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), 42);
    EXPECT_TRUE(text.endsWith(QStringLiteral("440 GOTO 20")));
}

} // namespace
