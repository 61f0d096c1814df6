#include "AboutFixture.h"
#include "about/AboutShows.h"
#include "about/AboutTexts.h"
#include "about/Tunes.h"

#include <gtest/gtest.h>

#include <numeric>
#include <set>

using namespace clavora::about;

namespace {

using Log = std::vector<std::string>;

class AboutShowsTest : public ::testing::Test, protected clavora::test::AboutFixture {
protected:
    // What the user does in the box: a digit is Q pressed with that sum of
    // Shift (1), Ctrl (2) and Alt (4); any other character is typed.
    void act(AboutShows& shows, const std::string& script)
    {
        for (const char c : script)
            c >= '0' && c <= '7' ? shows.keyDown(AboutShows::kKeyQ, c - '0') : shows.keyPress(QChar::fromLatin1(c));
    }
    AboutShows english{words, port, platform, 1};
};

// Show 5, the English tune for Shift+Alt, starts D4, F#4, A4 (234, 234, 468 ms).
TEST_F(AboutShowsTest, TuneIsAProgramChangeThenNotePairsOnChannel15)
{
    act(english, "5");
    const Log& log = midi.log();
    ASSERT_EQ(log.size(), 81u);
    EXPECT_EQ(Log(log.begin(), log.begin() + 7),
              (Log{"CF 38 00", "9F 3E 7F", "8F 3E 00", "9F 42 7F", "8F 42 00", "9F 45 7F", "8F 45 00"}));
    for (std::size_t i = 1; i < log.size(); i += 2)
        EXPECT_EQ("8F" + log[i].substr(2, 3) + " 00", log[i + 1]);
    EXPECT_EQ(std::vector<int>(platform.waits.begin(), platform.waits.begin() + 3), (std::vector<int>{234, 234, 468}));
    EXPECT_EQ(std::accumulate(platform.waits.begin(), platform.waits.end(), 0), 18300);
    EXPECT_TRUE(platform.pauses.empty()) << "a tune must wait without freezing the windows";
}

// The program quitting ends a note's wait early: that note goes off at once
// and the tune ends there; the next one starts afresh.
TEST_F(AboutShowsTest, TuneCutShortEndsWithItsNoteOff)
{
    platform.onWait = [&](int) { platform.cancelWait(); };
    act(english, "55");
    EXPECT_EQ(midi.log(), (Log{"CF 38 00", "9F 3E 7F", "8F 3E 00", "CF 38 00", "9F 3E 7F", "8F 3E 00"}));
}

// "vorne" reads out the joke site's 26 welcomes, 14 different ones; closing
// then says the site's address.
TEST_F(AboutShowsTest, JokePageShowsTheWelcomesThenTheAddress)
{
    act(english, "vorne");
    english.closing();
    const Log shown = boxes();
    ASSERT_EQ(shown.size(), 27u);
    for (std::size_t i = 0; i < 26; ++i)
        EXPECT_TRUE(shown[i].starts_with(" |") && shown[i].find("Gargalhada") != std::string::npos) << shown[i];
    EXPECT_EQ(std::set<std::string>(shown.begin(), shown.end() - 1).size(), 14u);
    EXPECT_EQ(shown[26], " |" + jokePageAddress().toStdString());
}

struct BoxesRow {
    const char* name;
    std::string script; // in the Portuguese box, then closing it
    Log boxes;
};

class ShowBoxesTest : public AboutShowsTest, public ::testing::WithParamInterface<BoxesRow> {};

TEST_P(ShowBoxesTest, ClosingSaysTheLineOfTheLastPicture)
{
    AboutShows portuguese(words, port, platform, 2);
    act(portuguese, GetParam().script);
    portuguese.closing();
    EXPECT_EQ(boxes(), GetParam().boxes);
}

INSTANTIATE_TEST_SUITE_P(
    Closing, ShowBoxesTest,
    ::testing::Values(
        BoxesRow{"NoShow", "", {}}, BoxesRow{"ListingOnly", "tovra", {}},
        BoxesRow{"VersionLineOnly", "xan", {"XAN|Clavora 2.6.0.0 (05/Junho/2015), criado por " + authorName().toStdString()}},
        BoxesRow{"Show13", "6", {" |Congratulations, Game Completed !"}},
        BoxesRow{"TwoShowsInARow", "61", {" |" + tunes()[7].farewell.toStdString()}},
        BoxesRow{"TuneThenJokeSite", "4mervo", {" |" + jokeSiteAddress().toStdString()}}),
    [](const auto& info) { return std::string(info.param.name); });

// The listing plays the keyboard's three rows of keys, twelve notes an
// octave, on lines numbered in tens with no line 420.
TEST(Listing, FortyThreeProgramLinesJoinedByCrLf)
{
    const QString keys = QStringLiteral("zsxdcvgbhnjm,l.;/q2w3e4rt6y7ui9o0p-[");
    const QStringList notes = QStringLiteral("C C+ D D+ E F F+ G G+ A A+ B").split(QLatin1Char(' '));
    QStringList expected = {"PLAY \"O2L16\"", "A$ = INKEY$", "IF A$ = CHR$(27) THEN END"};
    for (int k = 0; k < 36; ++k) {
        if (k == 12 || k == 24)
            expected << QStringLiteral("PLAY \"O%1\"").arg(k / 12 + 2);
        expected << QStringLiteral("IF A$ = \"%1\" THEN PLAY \"%2\"").arg(keys[k]).arg(notes[k % 12]);
    }
    expected << "PLAY \"O2\"" << "GOTO 20";
    const QStringList lines = listingText().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 43);
    for (int i = 0; i < 43; ++i) {
        const int number = i < 41 ? 10 * i + 10 : 10 * i + 20;
        EXPECT_EQ(lines[i].toStdString(), QStringLiteral("%1 %2").arg(number).arg(expected[i]).toStdString());
    }
}

} // namespace
