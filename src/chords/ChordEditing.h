#pragma once
// What the two chord editors show and store. A keyboard chord is edited as a
// grid of rows, each an octave entry and a note entry; a guitar chord as the
// frets of its six strings. Loading reads a table entry into that form;
// building turns it back into the stored text, after checking that every
// note it gives can sound.
#include "ChordModel.h"

#include <QString>

#include <array>

namespace clavora::chords {

constexpr int kEditorOctaveCount = 3; // octave entries " 1", " 2", " 3"
constexpr int kEditorFretCount = 10; // fret entries "0" .. "9"
// Highest octave of a chord voice slot (they run 1..5); a stored chord must
// sound at every one of them.
constexpr int kHighestChordOctave = 5;
constexpr int kHighestMidiNote = 127;

// One row of the keyboard-chord grid: positions in its octave list (0 for
// " 1") and in its note list (0 for "C"). The row's field is octave * 12 + note.
struct GridRow {
    int octave = 0;
    int note = 0;
    bool operator==(const GridRow&) const = default;
};
using KeyboardGrid = std::array<GridRow, kMaxKeyboardNotes>;
using GuitarFrets = std::array<int, kGuitarStringCount>; // kStringNotPlayed for "X"

// The outcome of building a chord text: the text, or the first row or
// string (1-based) whose note could not be stored.
struct BuiltChord {
    QString text;
    int refusedField = 0;
    bool accepted() const { return refusedField == 0; }
};

// A field fits two digits and sounds inside MIDI notes 0..127 at every chord octave.
bool isStorableField(int field);

// The grid row that shows a field: field / 12 in the octave list, field mod 12 in the note list.
GridRow gridRowOf(int field);

// Rows 1..3 of the chord, and row 4 for four-note types; for three-note
// types row 4 keeps what `current` holds (it is hidden, not cleared).
KeyboardGrid loadKeyboardGrid(const ChordTables& tables, int note, int type, const KeyboardGrid& current = {});

// The text of rows 1..3, and row 4 for four-note types, in row order.
BuiltChord buildKeyboardChord(const KeyboardGrid& grid, int type);

// Builds the text and, when every row can be stored, writes it into the
// keyboard-chord table; a refused grid leaves the table as it was.
BuiltChord storeKeyboardChord(ChordTables& tables, int note, int type, const KeyboardGrid& grid);

// Frets of strings 1..6 of the guitar chord.
GuitarFrets loadGuitarFrets(const ChordTables& tables, int note, int type);

// The guitar-chord text; a fret below "not played" or one that would sound
// outside the MIDI notes is refused.
BuiltChord buildGuitarChord(const GuitarFrets& frets);

// As storeKeyboardChord, for the guitar-chord table.
BuiltChord storeGuitarChord(ChordTables& tables, int note, int type, const GuitarFrets& frets);

} // namespace clavora::chords
