#include "ChordEditing.h"

namespace clavora::chords {

namespace {

QString twoDigits(int field)
{
    return QStringLiteral("%1").arg(field, kFieldWidth, 10, QLatin1Char('0'));
}

} // namespace

bool isStorableField(int field)
{
    // A negative field would not read back as written ("-1" means a string
    // that is not played); the highest octave bounds it from above, and
    // that bound (67) also keeps it within two digits.
    return field >= 0 && kHighestChordOctave * kNoteCount + field <= kHighestMidiNote;
}

GridRow gridRowOf(int field)
{
    return {field / kNoteCount, field % kNoteCount};
}

KeyboardGrid loadKeyboardGrid(const ChordTables& tables, int note, int type, const KeyboardGrid& current)
{
    KeyboardGrid grid = current;
    for (int j = 1; j <= chordNoteCount(type); ++j)
        grid[static_cast<std::size_t>(j - 1)] = gridRowOf(tables.keyboardChordNote(note, type, j));
    return grid;
}

BuiltChord buildKeyboardChord(const KeyboardGrid& grid, int type)
{
    BuiltChord built;
    for (int j = 1; j <= chordNoteCount(type); ++j) {
        const GridRow& row = grid[static_cast<std::size_t>(j - 1)];
        const int field = row.octave * kNoteCount + row.note;
        if (row.note < 0 || row.note >= kNoteCount || !isStorableField(field))
            return {QString(), j};
        built.text += twoDigits(field);
    }
    return built;
}

BuiltChord storeKeyboardChord(ChordTables& tables, int note, int type, const KeyboardGrid& grid)
{
    const BuiltChord built = buildKeyboardChord(grid, type);
    if (built.accepted())
        tables.setKeyboardChord(chordTableIndex(note, type), built.text);
    return built;
}

GuitarFrets loadGuitarFrets(const ChordTables& tables, int note, int type)
{
    GuitarFrets frets {};
    const QString chord = tables.guitarChord(chordTableIndex(note, type));
    for (int s = 1; s <= kGuitarStringCount; ++s)
        frets[static_cast<std::size_t>(s - 1)] = guitarStringFret(chord, s);
    return frets;
}

BuiltChord buildGuitarChord(const GuitarFrets& frets)
{
    for (int s = 1; s <= kGuitarStringCount; ++s) {
        const int fret = frets[static_cast<std::size_t>(s - 1)];
        if (fret != kStringNotPlayed && (fret < 0 || !isStorableField(fret + openStringPitch(s))))
            return {QString(), s};
    }
    return {makeGuitarChord(frets), 0};
}

BuiltChord storeGuitarChord(ChordTables& tables, int note, int type, const GuitarFrets& frets)
{
    const BuiltChord built = buildGuitarChord(frets);
    if (built.accepted())
        tables.setGuitarChord(chordTableIndex(note, type), built.text);
    return built;
}

} // namespace clavora::chords
