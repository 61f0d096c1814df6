#include "ChordRecognition.h"

#include <algorithm>

namespace clavora::chords {

namespace {

unsigned pitchClassBit(int pitch)
{
    return 1u << static_cast<unsigned>(((pitch % kNoteCount) + kNoteCount) % kNoteCount);
}

} // namespace

unsigned chordPitchClasses(const ChordTables& tables, ChordTableKind kind, int root, int type)
{
    unsigned classes = 0;
    if (kind == ChordTableKind::Keyboard) {
        for (int j = 1; j <= chordNoteCount(type); ++j)
            classes |= pitchClassBit(tables.keyboardChordNote(root, type, j));
        return classes;
    }
    for (int string = 1; string <= kGuitarStringCount; ++string) {
        const int pitch = tables.guitarStringPitch(root, type, string);
        if (pitch != kStringNotPlayed)
            classes |= pitchClassBit(pitch);
    }
    return classes;
}

std::optional<RecognisedChord> recogniseChord(
    const ChordTables& tables, ChordTableKind kind, std::span<const int> notes)
{
    if (notes.empty())
        return std::nullopt;
    unsigned held = 0;
    for (const int note : notes)
        held |= pitchClassBit(note);
    const int lowest = *std::min_element(notes.begin(), notes.end()) % kNoteCount;

    std::optional<RecognisedChord> found;
    for (int type = 0; type < kChordTypeCount; ++type) {
        for (int root = 0; root < kNoteCount; ++root) {
            if (chordPitchClasses(tables, kind, root, type) != held)
                continue;
            if (root == lowest)
                return RecognisedChord {type, root};
            if (!found)
                found = RecognisedChord {type, root};
        }
    }
    return found;
}

} // namespace clavora::chords
