#include "AboutFixture.h"
#include "about/AboutShows.h"
#include "about/AboutTexts.h"
#include "about/Tunes.h"

#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <set>

using namespace clavora::about;

namespace {

using Log = std::vector<std::string>;

class AboutShowsTest : public ::testing::Test, protected clavora::test::AboutFixture {
protected:
    AboutShows english{words, port, platform, 1};
};

// Show 5, the English tune for Shift+Alt, starts D4, F#4, A4 (234, 234, 468 ms).
TEST_F(AboutShowsTest, TuneIsAProgramChangeThenNotesOnChannel15)
{
    english.keyDown(AboutShows::kKeyQ, kShiftBit | kAltBit);
    const Log& log = midi.log();
    ASSERT_EQ(log.size(), 81u);
    EXPECT_EQ(Log(log.begin(), log.begin() + 7),
              (Log{"CF 38 00", "9F 3E 7F", "8F 3E 00", "9F 42 7F", "8F 42 00", "9F 45 7F", "8F 45 00"}));
    for (std::size_t i = 1; i < log.size(); i += 2)
        EXPECT_EQ("8F" + log[i].substr(2, 3) + " 00", log[i + 1]);
    EXPECT_EQ(std::vector<int>(platform.waits.begin(), platform.waits.begin() + 3), (std::vector<int>{234, 234, 468}));
    EXPECT_EQ(std::accumulate(platform.waits.begin(), platform.waits.end(), 0), 18300);
    EXPECT_TRUE(platform.pauses.empty()) << "a tune must wait without freezing the windows";
    EXPECT_EQ(english.authorPicture(), 5);
}

// The window or the program closing in the middle of a tune: the sounding
// note goes off at once and nothing else is sent.
TEST_F(AboutShowsTest, TuneStoppedOrCutShortEndsWithItsNoteOff)
{
    const Log start = {"CF 38 00", "9F 3E 7F", "8F 3E 00", "9F 42 7F", "8F 42 00"};
    platform.onWait = [&](int) {
        if (platform.waits.size() == 2)
            english.stopTune();
    };
    english.playMelody(kShiftBit | kAltBit);
    EXPECT_EQ(midi.log(), start);
    midi.clear();
    platform.onWait = [&](int) { platform.cancelWait(); };
    english.playMelody(kShiftBit | kAltBit);
    EXPECT_EQ(midi.log(), Log(start.begin(), start.begin() + 3));
    EXPECT_FALSE(english.isPlaying());
}

TEST_F(AboutShowsTest, SecretWordsStartTheirShows)
{
    int listings = 0;
    int games = 0;
    QObject::connect(&english, &AboutShows::listingShown, [&](const QString& text) {
        EXPECT_EQ(text, listingText());
        ++listings;
    });
    QObject::connect(&english, &AboutShows::gameRequested, [&] { ++games; });
    for (const QChar c : QStringLiteral("xan tovra dravenok Mervo"))
        english.keyPress(c);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].title, "XAN");
    EXPECT_EQ(platform.boxes[0].text, "Clavora 2.6.0.0 (05/Junho/2015), criado por " + authorName().toStdString());
    EXPECT_EQ(listings, 1);
    EXPECT_EQ(games, 1);
    EXPECT_EQ(english.authorPicture(), kJokeSitePicture);
    EXPECT_TRUE(midi.log().empty());
}

TEST_F(AboutShowsTest, JokePageShowsTwentySixWelcomesOfFourteenKinds)
{
    english.showJokePage();
    ASSERT_EQ(platform.boxes.size(), 26u);
    std::set<std::string> phrases;
    for (const auto& box : platform.boxes) {
        EXPECT_EQ(box.title, " ");
        EXPECT_NE(box.text.find("Gargalhada"), std::string::npos) << box.text;
        phrases.insert(box.text);
    }
    EXPECT_EQ(phrases.size(), 14u);
}

struct FarewellRow {
    const char* name;
    std::function<void(AboutShows&)> shows;
    std::vector<std::string> farewell; // boxes shown by closing
};
void PrintTo(const FarewellRow& row, std::ostream* os) { *os << row.name; }

class FarewellTest : public ::testing::TestWithParam<FarewellRow> {};

TEST_P(FarewellTest, ClosingSaysTheLineOfTheLastPicture)
{
    clavora::test::AboutFixture f;
    AboutShows portuguese(f.words, f.port, f.platform, 2);
    GetParam().shows(portuguese);
    f.platform.boxes.clear();
    portuguese.closing();
    for (const auto& box : f.platform.boxes)
        EXPECT_EQ(box.title, " ");
    EXPECT_EQ(f.boxTexts(), GetParam().farewell);
}

INSTANTIATE_TEST_SUITE_P(
    Closing, FarewellTest,
    ::testing::Values(FarewellRow{"NoShow", [](AboutShows&) {}, {}},
                      FarewellRow{"Show13", [](AboutShows& s) { s.playMelody(kCtrlBit | kAltBit); },
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
                                  {jokeSiteAddress().toStdString()}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Listing, FortyThreeNumberedLinesJoinedByCrLf)
{
    const QStringList lines = listingLines();
    ASSERT_EQ(lines.size(), 43);
    for (int i = 0; i < lines.size(); ++i) {
        const int number = (i < 41 ? i + 1 : i + 2) * 10; // there is no line 420
        EXPECT_TRUE(lines[i].startsWith(QString::number(number) + QLatin1Char(' '))) << lines[i].toStdString();
    }
    EXPECT_EQ(lines[2], QStringLiteral("30 IF A$ = CHR$(27) THEN END"));
    EXPECT_EQ(lines[16], QStringLiteral("170 IF A$ = \",\" THEN PLAY \"C\""));
    EXPECT_EQ(lines[40], QStringLiteral("410 IF A$ = \"[\" THEN PLAY \"B\""));
    EXPECT_EQ(listingText(), lines.join(QStringLiteral("\r\n")));
    EXPECT_TRUE(listingText().endsWith(QStringLiteral("430 PLAY \"O2\"\r\n440 GOTO 20")));
}

} // namespace
