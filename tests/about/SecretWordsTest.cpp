#include "about/SecretWords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using clavora::about::Reaction;
using clavora::about::TypedWords;

namespace {

std::vector<Reaction> typeAll(TypedWords& words, const std::string& text)
{
    std::vector<Reaction> last;
    for (const char character : text)
        last = words.type(QChar::fromLatin1(character));
    return last;
}

struct WordCase {
    const char* name;
    std::string typed;
    std::vector<Reaction> reactions; // of the last character typed
};

class SecretWordTest : public ::testing::TestWithParam<WordCase> {};

TEST_P(SecretWordTest, EndOfTheBufferStartsItsReaction)
{
    TypedWords words;
    EXPECT_EQ(typeAll(words, GetParam().typed), GetParam().reactions);
}

INSTANTIATE_TEST_SUITE_P(
    Words, SecretWordTest,
    ::testing::Values(WordCase{"Listing", "TOVRA", {Reaction::Listing}},
                      WordCase{"LowerCase", "tovra", {Reaction::Listing}},
                      WordCase{"MixedCase", "ToVrA", {Reaction::Listing}},
                      WordCase{"CharactersBefore", "hello tovra", {Reaction::Listing}},
                      WordCase{"BlankInside", "tov ra", {}},
                      WordCase{"NotYetFinished", "tovr", {}},
                      WordCase{"JokePage", "vorne", {Reaction::JokePage}},
                      WordCase{"VersionLine", "xan", {Reaction::VersionLine}},
                      WordCase{"Dravenok", "dravenok", {Reaction::HiddenGame}},
                      WordCase{"Draveniok", "draveniok", {Reaction::HiddenGame}},
                      WordCase{"Drazvenok", "drazvenok", {Reaction::HiddenGame}},
                      WordCase{"Drazveniok", "drazveniok", {Reaction::HiddenGame}},
                      WordCase{"Dravinok", "dravinok", {Reaction::HiddenGame}},
                      WordCase{"DraviniokUpper", "DRAVINIOK", {Reaction::HiddenGame}},
                      WordCase{"JokeSite", "mervo", {Reaction::JokeSite}},
                      WordCase{"WordAfterWord", "xantovra", {Reaction::Listing}},
                      WordCase{"SameWordAgain", "xanxan", {Reaction::VersionLine}}),
    [](const auto& info) { return std::string(info.param.name) + std::to_string(info.index); });

struct LimitCase {
    const char* name;
    int filler;     // characters typed before the word
    bool recognised;
};

class BufferLimitTest : public ::testing::TestWithParam<LimitCase> {};

// The 255th character empties the buffer before the words are looked for.
TEST_P(BufferLimitTest, WordEndingOnTheLimitIsLost)
{
    TypedWords words;
    typeAll(words, std::string(static_cast<std::size_t>(GetParam().filler), 'q'));
    const auto reactions = typeAll(words, "mervo");
    EXPECT_EQ(!reactions.empty(), GetParam().recognised);
}

INSTANTIATE_TEST_SUITE_P(Limit, BufferLimitTest,
                         ::testing::Values(LimitCase{"EndsOn254", 249, true}, LimitCase{"EndsOn255", 250, false},
                                           LimitCase{"StartsAfterEmptying", 255, true},
                                           LimitCase{"SpansTheEmptying", 252, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BufferLimit, EmptiesAndStartsOver)
{
    TypedWords words;
    typeAll(words, std::string(254, 'q'));
    EXPECT_EQ(words.buffer().size(), 254);
    words.type(QLatin1Char('q'));
    EXPECT_TRUE(words.buffer().isEmpty());
    words.type(QLatin1Char('x'));
    EXPECT_EQ(words.buffer(), QStringLiteral("x"));
}

} // namespace
