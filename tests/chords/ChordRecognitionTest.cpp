// Held notes recognised as a chord of the current table.
#include "chords/ChordRecognition.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace clavora::chords;

namespace {

struct Held {
    ChordTableKind kind;
    std::vector<int> notes;
    std::optional<RecognisedChord> chord;
};

class Recognition : public ::testing::TestWithParam<Held> { };

TEST_P(Recognition, FindsTheChordOfTheDefaultTables)
{
    ChordTables tables;
    tables.loadDefaults();
    EXPECT_EQ(recogniseChord(tables, GetParam().kind, GetParam().notes), GetParam().chord);
}

constexpr auto K = ChordTableKind::Keyboard;
constexpr auto G = ChordTableKind::Guitar;
using R = RecognisedChord;

// Every type with its root lowest; an inversion; a set that is
// two chords, told apart by its lowest note (C6 and Am7, and the three
// augmented chords on C, E and G#); doublings an octave apart; a set that is
// no chord; the guitar's four-note diminished chord, which the keyboard's
// triad is not.
INSTANTIATE_TEST_SUITE_P(Chords, Recognition,
    ::testing::Values(Held {K, {55, 59, 62}, R {0, 7}}, Held {K, {58, 61, 65}, R {1, 10}},
        Held {K, {55, 59, 62, 65}, R {2, 7}}, Held {K, {58, 61, 65, 68}, R {3, 10}},
        Held {K, {55, 59, 62, 66}, R {4, 7}}, Held {K, {58, 63, 65}, R {5, 10}}, Held {K, {55, 59, 63}, R {6, 7}},
        Held {K, {58, 61, 64}, R {7, 10}}, Held {K, {55, 57, 59, 65}, R {8, 7}}, Held {K, {58, 60, 61, 68}, R {9, 10}},
        Held {K, {55, 59, 62, 64}, R {10, 7}}, Held {K, {58, 61, 65, 67}, R {11, 10}}, Held {K, {52, 55, 60}, R {0, 0}},
        Held {K, {57, 60, 64, 67}, R {3, 9}}, Held {K, {52, 56, 60}, R {6, 4}}, Held {K, {56, 60, 64}, R {6, 8}},
        Held {K, {36, 48, 52, 55, 67}, R {0, 0}}, Held {K, {48, 49, 50}, std::nullopt},
        Held {K, {48, 51, 54, 57}, std::nullopt}, Held {G, {48, 51, 54, 57}, R {7, 0}},
        Held {G, {52, 55, 60}, R {0, 0}}, Held {K, {}, std::nullopt}));

// An edited chord is recognised from its new notes, and its old ones no
// longer are; of the two chords with the new notes (the edited C major and
// G sus4) the one on the lowest note wins.
TEST(Recognition, AnEditedChordByItsNewNotes)
{
    ChordTables tables;
    tables.loadDefaults();
    tables.setKeyboardChord(chordTableIndex(0, 0), QStringLiteral("071214"));
    EXPECT_EQ(recogniseChord(tables, K, std::vector {48, 50, 55}), (R {0, 0}));
    EXPECT_EQ(recogniseChord(tables, K, std::vector {55, 60, 62}), (R {5, 7}));
    EXPECT_EQ(recogniseChord(tables, K, std::vector {48, 52, 55}), std::nullopt);
}

} // namespace
