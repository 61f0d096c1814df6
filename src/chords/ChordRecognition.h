#pragma once
// Which chord of a chord table a set of held notes is: the left hand's chord
// played on a MIDI keyboard, recognised from its notes.
#include "ChordModel.h"

#include <optional>
#include <span>

namespace clavora::chords {

enum class ChordTableKind { Keyboard, Guitar };

struct RecognisedChord {
    int type;
    int root;
    bool operator==(const RecognisedChord&) const = default;
};

// The pitch classes a chord of the table sounds, bit n for pitch class n:
// the fields a keyboard chord plays (by the note count rule), or the strings
// of a guitar chord that are played.
unsigned chordPitchClasses(const ChordTables& tables, ChordTableKind kind, int root, int type);

// The chord whose stored definition sounds exactly the pitch classes of
// `notes` (MIDI note numbers, any order, octaves and doublings alike). Of
// several, the one whose root is the lowest note's pitch class, then the
// lowest chord type, then the lowest root. None when no chord matches or
// `notes` is empty.
std::optional<RecognisedChord> recogniseChord(
    const ChordTables& tables, ChordTableKind kind, std::span<const int> notes);

} // namespace clavora::chords
