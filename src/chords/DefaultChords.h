#pragma once
// Built-in chord grids: row = chord type, column = root note.
#include <array>
#include <string_view>

namespace clavora::chords::defaults {

using ChordGrid = std::array<std::array<std::string_view, 12>, 12>;

// Keyboard chords: two-digit semitone offsets above the chord octave's C.
extern const ChordGrid kKeyboardChords;

// Guitar chords as frets of strings 1..6 (lowest first), one digit each,
// 'x' for a string that is not played.
extern const ChordGrid kGuitarFrets;

} // namespace clavora::chords::defaults
