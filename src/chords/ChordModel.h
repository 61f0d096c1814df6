#pragma once
// Chord vocabulary (twelve chord types, twelve roots) and the two chord tables:
// keyboard chords of three or four notes and six-string guitar chords, each
// stored as text with one two-character field per note or string.
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

namespace clavora::chords {

constexpr int kChordTypeCount = 12;
constexpr int kNoteCount = 12; // roots C..B
constexpr int kChordCount = kChordTypeCount * kNoteCount; // 144 defined chords
constexpr int kChordTableSize = kChordCount + 1; // 145; the last entry stays empty
constexpr int kFieldWidth = 2; // characters per note / per string
constexpr int kMaxKeyboardNotes = 4;
constexpr int kGuitarStringCount = 6;
constexpr int kStringNotPlayed = -1; // fret / pitch of a string that is not played

// --- Chord types and note names -------------------------------------------

// Short name shown next to the chord area ("maj", "m", "7", ...); empty outside 0..11.
QString chordSuffix(int type);
// Name the chord editors list for the type ("Major (Normal)", ...); empty outside 0..11.
QString chordTypeEnglishName(int type);
// Notes in a keyboard chord of the type: 4 for types 2, 3, 4, 8, 9, 10, 11, else 3.
int chordNoteCount(int type);
// "C", "C#/Db", ... "B"; empty outside 0..11.
QString noteName(int note);

// All twelve suffixes in type order (what the main window's suffix list holds).
QStringList loadChordSuffixes();
QStringList noteNames();

// --- Text fields ------------------------------------------------------------

// Reads a leading number: optional blanks, an optional sign, then digits.
// Anything that does not start that way reads 0 ("07" -> 7, "-1" -> -1, "" -> 0).
int leadingNumber(QStringView text);

// Open-string pitch in semitones above the chord octave's C: strings 1..5 are
// 4, 9, 14, 19, 23; any other string number is treated as string 6 (28).
int openStringPitch(int string);

// Fret of string s (1..6) in a guitar-chord text; -1 when the field is "-1".
int guitarStringFret(QStringView chord, int string);

// Guitar-chord text from the frets of strings 1..6 (-1 = not played).
QString makeGuitarChord(const std::array<int, kGuitarStringCount>& frets);

// --- Chord tables -----------------------------------------------------------

// Table position of a chord: type * 12 + note.
constexpr int chordTableIndex(int note, int type)
{
    return type * kNoteCount + note;
}
constexpr bool isValidChordTableIndex(int index)
{
    return index >= 0 && index < kChordTableSize;
}

// The keyboard-chord and guitar-chord tables, 145 entries each. Indexes outside
// 0..144 never touch memory: they read as the empty text (so every field reads 0)
// and writes to them are ignored.
class ChordTables {
public:
    ChordTables() = default; // every entry empty

    // Fill entries 0..143 with the built-in chords.
    void loadDefaultKeyboardChords();
    void loadDefaultGuitarChords();
    void loadDefaults(); // both of the above

    QString keyboardChord(int index) const;
    QString guitarChord(int index) const;
    // Return false (and change nothing) when the index is outside 0..144.
    bool setKeyboardChord(int index, const QString& chord);
    bool setGuitarChord(int index, const QString& chord);

    // Field n of the keyboard chord for root and type: n = 1, 2, 3 read
    // characters 1-2, 3-4, 5-6, any other n characters 7-8. A missing or
    // non-numeric field reads 0.
    int keyboardChordNote(int note, int type, int n) const;

    // Sounding pitch offset of string s for root and type: s = 1..5 read
    // characters 2s-1 and 2s, any other s characters 11-12. -1 = not played.
    int guitarStringPitch(int note, int type, int s) const;

private:
    std::array<QString, kChordTableSize> m_keyboard;
    std::array<QString, kChordTableSize> m_guitar;
};

} // namespace clavora::chords
