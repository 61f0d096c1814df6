#include "ChordModel.h"

#include "DefaultChords.h"

#include <algorithm>

namespace clavora::chords {

namespace {

struct ChordType {
    const char* suffix;
    int keyboardNotes;
    const char* englishName;
};

constexpr std::array<ChordType, kChordTypeCount> kChordTypes = {{
    {"maj", 3, "Major (Normal)"},
    {"m", 3, "Minor"},
    {"7", 4, "Seventh"},
    {"m7", 4, "Minor Seventh"},
    {"maj7", 4, "Major Seventh"},
    {"sus4", 3, "Suspended"},
    {"aug", 3, "Augmented"},
    {"dim", 3, "Diminished"},
    {"9", 4, "Ninth"},
    {"m9", 4, "Minor Ninth"},
    {"6", 4, "Sixth"},
    {"m6", 4, "Minor Sixth"},
}};

constexpr std::array<const char*, kNoteCount> kNoteNames = {
    "C",
    "C#/Db",
    "D",
    "D#/Eb",
    "E",
    "F",
    "F#/Gb",
    "G",
    "G#/Ab",
    "A",
    "A#/Bb",
    "B",
};

// Open strings E A D G B E, in semitones above the chord octave's C.
constexpr std::array<int, kGuitarStringCount> kOpenStringPitch = {4, 9, 14, 19, 23, 28};

constexpr char kNotPlayedMark = 'x';
constexpr QStringView kNotPlayedField = u"-1";

bool isValidType(int type)
{
    return type >= 0 && type < kChordTypeCount;
}

// Characters [pos, pos + kFieldWidth) of text, shortened or empty past its end.
QStringView fieldAt(QStringView text, qsizetype pos)
{
    if (pos < 0 || pos >= text.size())
        return {};
    return text.mid(pos, std::min<qsizetype>(kFieldWidth, text.size() - pos));
}

// Field number (1-based) -> first character: fields 1..last-1 as given, any
// other number reads the last field.
qsizetype fieldStart(int field, int lastField)
{
    const int used = (field >= 1 && field < lastField) ? field : lastField;
    return static_cast<qsizetype>(used - 1) * kFieldWidth;
}

const QString& entryAt(const std::array<QString, kChordTableSize>& table, int index)
{
    static const QString empty;
    return isValidChordTableIndex(index) ? table[static_cast<std::size_t>(index)] : empty;
}

bool setEntry(std::array<QString, kChordTableSize>& table, int index, const QString& chord)
{
    if (!isValidChordTableIndex(index))
        return false;
    table[static_cast<std::size_t>(index)] = chord;
    return true;
}

} // namespace

QString chordSuffix(int type)
{
    return isValidType(type) ? QString::fromLatin1(kChordTypes[static_cast<std::size_t>(type)].suffix) : QString();
}

QString chordTypeEnglishName(int type)
{
    return isValidType(type) ? QString::fromLatin1(kChordTypes[static_cast<std::size_t>(type)].englishName) : QString();
}

int chordNoteCount(int type)
{
    return isValidType(type) ? kChordTypes[static_cast<std::size_t>(type)].keyboardNotes : 3;
}

QString noteName(int note)
{
    return (note >= 0 && note < kNoteCount) ? QString::fromLatin1(kNoteNames[static_cast<std::size_t>(note)])
                                            : QString();
}

QStringList loadChordSuffixes()
{
    QStringList list;
    for (const ChordType& t : kChordTypes)
        list << QString::fromLatin1(t.suffix);
    return list;
}

QStringList noteNames()
{
    QStringList list;
    for (const char* name : kNoteNames)
        list << QString::fromLatin1(name);
    return list;
}

int leadingNumber(QStringView text)
{
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    long long value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            break;
        value = std::min<long long>(value * 10 + (c.unicode() - u'0'), 1'000'000'000);
    }
    return static_cast<int>(negative ? -value : value);
}

int openStringPitch(int string)
{
    const int s = (string >= 1 && string < kGuitarStringCount) ? string : kGuitarStringCount;
    return kOpenStringPitch[static_cast<std::size_t>(s - 1)];
}

int guitarStringFret(QStringView chord, int string)
{
    const QStringView field = fieldAt(chord, fieldStart(string, kGuitarStringCount));
    if (field == kNotPlayedField)
        return kStringNotPlayed;
    return leadingNumber(field) - openStringPitch(string);
}

QString makeGuitarChord(const std::array<int, kGuitarStringCount>& frets)
{
    QString chord;
    for (int s = 1; s <= kGuitarStringCount; ++s) {
        const int fret = frets[static_cast<std::size_t>(s - 1)];
        if (fret == kStringNotPlayed)
            chord += kNotPlayedField;
        else
            chord += QStringLiteral("%1").arg(fret + openStringPitch(s), kFieldWidth, 10, QLatin1Char('0'));
    }
    return chord;
}

void ChordTables::loadDefaultKeyboardChords()
{
    for (int type = 0; type < kChordTypeCount; ++type)
        for (int note = 0; note < kNoteCount; ++note) {
            const std::string_view text
                = defaults::kKeyboardChords[static_cast<std::size_t>(type)][static_cast<std::size_t>(note)];
            setKeyboardChord(
                chordTableIndex(note, type), QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
        }
}

void ChordTables::loadDefaultGuitarChords()
{
    for (int type = 0; type < kChordTypeCount; ++type)
        for (int note = 0; note < kNoteCount; ++note) {
            const std::string_view cell
                = defaults::kGuitarFrets[static_cast<std::size_t>(type)][static_cast<std::size_t>(note)];
            std::array<int, kGuitarStringCount> frets {};
            for (std::size_t s = 0; s < frets.size() && s < cell.size(); ++s)
                frets[s] = cell[s] == kNotPlayedMark ? kStringNotPlayed : cell[s] - '0';
            setGuitarChord(chordTableIndex(note, type), makeGuitarChord(frets));
        }
}

void ChordTables::loadDefaults()
{
    loadDefaultKeyboardChords();
    loadDefaultGuitarChords();
}

QString ChordTables::keyboardChord(int index) const
{
    return entryAt(m_keyboard, index);
}

QString ChordTables::guitarChord(int index) const
{
    return entryAt(m_guitar, index);
}

bool ChordTables::setKeyboardChord(int index, const QString& chord)
{
    return setEntry(m_keyboard, index, chord);
}

bool ChordTables::setGuitarChord(int index, const QString& chord)
{
    return setEntry(m_guitar, index, chord);
}

int ChordTables::keyboardChordNote(int note, int type, int n) const
{
    const QString& chord = entryAt(m_keyboard, chordTableIndex(note, type));
    return leadingNumber(fieldAt(chord, fieldStart(n, kMaxKeyboardNotes)));
}

int ChordTables::guitarStringPitch(int note, int type, int s) const
{
    const QString& chord = entryAt(m_guitar, chordTableIndex(note, type));
    return leadingNumber(fieldAt(chord, fieldStart(s, kGuitarStringCount)));
}

} // namespace clavora::chords
