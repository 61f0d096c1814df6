#include "AboutFixture.h"
#include "TextDigest.h"
#include "about/AboutShows.h"
#include "about/AboutTexts.h"
#include "about/Tunes.h"

#include <gtest/gtest.h>

#include <numeric>
#include <utility>

using namespace clavora::about;

namespace {

using Log = std::vector<std::string>;

// The buffer keeps up to 254 characters; the 255th empties it before the
// words are looked for. A match leaves the buffer as it is. Each row types
// `filler` characters that match nothing, then the word; the reactions are
// those the last character starts.
TEST(AboutTables, SecretWordsEndingTheBufferStartTheirReaction)
{
    using R = std::vector<Reaction>;
    const R game = {Reaction::HiddenGame};
    struct Row {
        int filler;
        std::string typed;
        R reactions;
    };
    for (const Row& row : {Row {0, "tovra", {Reaction::Listing}}, {0, "XAN", {Reaction::VersionLine}},
             {0, "hello ToVrA", {Reaction::Listing}}, {0, "tov ra", {}}, {0, "mervorne", {Reaction::JokePage}},
             {0, "dravenok", game}, {0, "draveniok", game}, {0, "drazvenok", game}, {0, "DRAZVENIOK", game},
             {0, "dravinok", game}, {0, "draviniok", game}, {249, "mervo", {Reaction::JokeSite}}, {250, "mervo", {}},
             {255, "mervo", {Reaction::JokeSite}}}) {
        TypedWords words;
        R last;
        for (const char c : std::string(static_cast<std::size_t>(row.filler), 'q') + row.typed)
            last = words.type(QChar::fromLatin1(c));
        EXPECT_EQ(last, row.reactions) << row.filler << " + " << row.typed;
    }
}

// A notes line is read as pairs of a note name and whole milliseconds; a
// pair whose name or length does not read is left out, and a lone name at
// the end too.
TEST(AboutTables, NotesPairsThatDoNotReadAreLeftOut)
{
    const std::vector<Tune> book
        = parseTuneBook(QStringLiteral("show 2 pt 1\nnotes C4 100 H4 50 D4 long Eb4 200 F4\nnotes G#3 30\n"));
    ASSERT_EQ(book.size(), 1U);
    std::vector<std::pair<int, int>> notes;
    for (const TuneNote& note : book[0].notes)
        notes.emplace_back(note.note, note.milliseconds);
    EXPECT_EQ(notes, (std::vector<std::pair<int, int>> {{60, 100}, {63, 200}, {56, 30}}));
}

// Every show's number, kind, instrument, farewell and notes, letter for letter.
TEST(AboutTables, ReadAndSoundAsDesigned)
{
    QStringList lines;
    for (const Tune& t : tunes()) {
        QStringList cells {QString::number(t.show), QString::number(t.language), QString::number(t.number), t.kind,
            QString::number(t.program), t.farewell, QString::number(t.totalMilliseconds())};
        for (const TuneNote& note : t.notes)
            cells << QStringLiteral("%1:%2").arg(note.note).arg(note.milliseconds);
        lines << cells.join(QLatin1Char(' '));
    }
    EXPECT_EQ(clavora::test::textDigest(lines), "73696887ca63eebb") << lines.join(QLatin1Char('\n')).toStdString();
}

class AboutShowsTest : public ::testing::Test, protected clavora::test::AboutFixture {
protected:
    // What the user does in the box: a digit is Q pressed with that sum of
    // Shift (1), Ctrl (2) and Alt (4); any other character is typed.
    void act(AboutShows& shows, const std::string& script)
    {
        for (const char c : script)
            c >= '0' && c <= '7' ? shows.keyDown(AboutShows::kKeyQ, c - '0') : shows.keyPress(QChar::fromLatin1(c));
    }
    AboutShows english {words, port, platform, 1};
};

// Show 5, the English tune for Shift+Alt: after its program change each of
// its 40 notes goes on and, its length later, off; it starts D4, F#4, A4
// (234, 234, 468 ms).
TEST_F(AboutShowsTest, TunePlaysEveryNoteForItsLength)
{
    act(english, "5");
    EXPECT_EQ(midi.log().size(), 81u);
    EXPECT_EQ(std::vector<int>(platform.waits.begin(), platform.waits.begin() + 3), (std::vector<int> {234, 234, 468}));
    EXPECT_EQ(std::accumulate(platform.waits.begin(), platform.waits.end(), 0), 18300);
}

// The program quitting ends a note's wait early: that note goes off at once
// and the tune ends there; the next one starts afresh.
TEST_F(AboutShowsTest, TuneCutShortEndsWithItsNoteOff)
{
    platform.onWait = [&](int) { platform.cancelWait(); };
    act(english, "55");
    EXPECT_EQ(midi.log(), (Log {"CF 38 00", "9F 3E 7F", "8F 3E 00", "CF 38 00", "9F 3E 7F", "8F 3E 00"}));
}

// "vorne" reads out the joke site's 26 welcomes in their order, letter for
// letter; closing then says the site's address.
TEST_F(AboutShowsTest, JokePageShowsTheWelcomesThenTheAddress)
{
    act(english, "vorne");
    english.closing();
    QStringList shown; // each box numbered by its place, so that the order counts
    for (const std::string& box : boxes())
        shown << QString::number(shown.size()) + QLatin1Char(' ') + QString::fromStdString(box);
    EXPECT_EQ(clavora::test::textDigest(shown), "1e643c7cf286dde2") << shown.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(boxes().back(), " |https://www.gargalhada.example");
}

// In the Portuguese box: closing says the line of the last picture shown.
TEST_F(AboutShowsTest, ClosingSaysTheLineOfTheLastPicture)
{
    const std::pair<std::string, Log> rows[]
        = {{"", {}}, {"tovra", {}}, {"xan", {"XAN|Clavora 2.6.0.0 (05/Junho/2015), criado por Marcos Valtierra"}},
            {"61", {" |Press any key to continue your adventure."}}, {"4mervo", {" |https://www.mervo.example"}}};
    for (const auto& [script, expected] : rows) {
        platform.boxes.clear();
        TypedWords fresh;
        AboutShows portuguese(fresh, port, platform, 2);
        act(portuguese, script);
        portuguese.closing();
        EXPECT_EQ(boxes(), expected) << script;
    }
}

} // namespace
