#pragma once
#include <QString>

#include <vector>

namespace clavora::about {

// Shift, Ctrl and Alt as the About box adds them up to choose a tune.
constexpr int kShiftBit = 1;
constexpr int kCtrlBit = 2;
constexpr int kAltBit = 4;

constexpr int kShowsPerLanguage = 7;
constexpr int kShowCount = 21;

struct TuneNote {
    int note; // MIDI note number
    int milliseconds; // how long it sounds; the next note follows at once
};

// One melody show: its tune and the line said when the About box closes
// after it. Shows 1..7 are English, 8..14 Portuguese, 15..21 Spanish.
struct Tune {
    int show = 0;
    int language = 0;
    int number = 0; // 1..7 within the language
    QString kind;
    int program = 0; // General MIDI, 0 based
    QString farewell;
    std::vector<TuneNote> notes;

    int totalMilliseconds() const;
};

// The 21 tunes, in show order, read from the program's tune book.
const std::vector<Tune>& tunes();

// Reads a tune book; lines it cannot read are skipped. Exposed for tests.
std::vector<Tune> parseTuneBook(const QString& text);

// The MIDI number of a note name such as "C4" (60), "F#3" or "Bb5"; -1 when
// the name is not one.
int noteNumber(const QString& name);

// The show for a language (1..3) and the Shift/Ctrl/Alt bits held: nullptr
// when no modifier is held or the language is unknown.
const Tune* tuneFor(int language, int shiftState);

} // namespace clavora::about
