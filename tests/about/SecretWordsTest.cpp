#include "about/SecretWords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using clavora::about::Reaction;

namespace {

struct WordCase {
    const char* name;
    int filler; // characters that match nothing, typed first
    std::string typed;
    std::vector<Reaction> reactions; // started by the last character typed
};

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

// The buffer keeps up to 254 characters; the 255th empties it before the
// words are looked for. A match leaves the buffer as it is.
INSTANTIATE_TEST_SUITE_P(
    Words, SecretWordTest,
    ::testing::Values(
        WordCase{"LowerCase", 0, "tovra", {Reaction::Listing}}, WordCase{"VersionLine", 0, "XAN", {Reaction::VersionLine}},
        WordCase{"CharactersBefore", 0, "hello ToVrA", {Reaction::Listing}}, WordCase{"BlankInside", 0, "tov ra", {}},
        WordCase{"OverlapsAnEarlierWord", 0, "mervorne", {Reaction::JokePage}},
        WordCase{"Dravenok", 0, "dravenok", kGame}, WordCase{"Draveniok", 0, "draveniok", kGame},
        WordCase{"Drazvenok", 0, "drazvenok", kGame}, WordCase{"Drazveniok", 0, "DRAZVENIOK", kGame},
        WordCase{"Dravinok", 0, "dravinok", kGame}, WordCase{"Draviniok", 0, "draviniok", kGame},
        WordCase{"EndsOnThe254th", 249, "mervo", {Reaction::JokeSite}}, WordCase{"EndsOnThe255th", 250, "mervo", {}},
        WordCase{"TypedAfterTheEmptying", 255, "mervo", {Reaction::JokeSite}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
