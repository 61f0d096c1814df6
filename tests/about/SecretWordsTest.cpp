#include "about/SecretWords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using clavora::about::Reaction;

namespace {

struct WordCase {
    const char* name;
    int filler; // characters typed before the text
    std::string typed;
    std::vector<Reaction> reactions; // of the last character typed
};
void PrintTo(const WordCase& row, std::ostream* os) { *os << row.name; }

class SecretWordTest : public ::testing::TestWithParam<WordCase> {};

TEST_P(SecretWordTest, EndOfTheBufferStartsItsReaction)
{
    clavora::about::TypedWords words;
    std::vector<Reaction> last;
    for (const char c : std::string(static_cast<std::size_t>(GetParam().filler), 'q') + GetParam().typed)
        last = words.type(QChar::fromLatin1(c));
    EXPECT_EQ(last, GetParam().reactions);
}

const std::vector<Reaction> kGame = {Reaction::HiddenGame};

// Every character up to the 254th is kept; the 255th empties the buffer
// before the words are looked for.
INSTANTIATE_TEST_SUITE_P(
    Words, SecretWordTest,
    ::testing::Values(WordCase{"Listing", 0, "TOVRA", {Reaction::Listing}},
                      WordCase{"LowerCase", 0, "tovra", {Reaction::Listing}},
                      WordCase{"CharactersBefore", 0, "hello ToVrA", {Reaction::Listing}},
                      WordCase{"BlankInside", 0, "tov ra", {}}, WordCase{"Unfinished", 0, "tovr", {}},
                      WordCase{"JokePage", 0, "vorne", {Reaction::JokePage}},
                      WordCase{"VersionLine", 0, "xan", {Reaction::VersionLine}},
                      WordCase{"SameWordAgain", 0, "xanxan", {Reaction::VersionLine}},
                      WordCase{"JokeSite", 0, "mervo", {Reaction::JokeSite}}, WordCase{"Dravenok", 0, "dravenok", kGame},
                      WordCase{"Draveniok", 0, "draveniok", kGame}, WordCase{"Drazvenok", 0, "drazvenok", kGame},
                      WordCase{"Drazveniok", 0, "DRAZVENIOK", kGame}, WordCase{"Dravinok", 0, "dravinok", kGame},
                      WordCase{"Draviniok", 0, "draviniok", kGame},
                      WordCase{"EndsOnThe254th", 249, "mervo", {Reaction::JokeSite}},
                      WordCase{"EndsOnThe255th", 250, "mervo", {}}, WordCase{"SpansTheEmptying", 252, "mervo", {}},
                      WordCase{"TypedAfterTheEmptying", 255, "mervo", {Reaction::JokeSite}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
