#pragma once
#include <vector>

namespace clavora {

// What holds a key down: the computer keyboard, the mouse, a MIDI keyboard,
// or several at once. A key sounds from the first press until the last of
// them lets go.
enum class Hand : unsigned { Keyboard = 1, Mouse = 2, Midi = 4 };

// How a key is struck. The computer keyboard and the mouse strike at full
// velocity, so every slot sounds at its volume; a MIDI keyboard brings its
// own. A chord key plays `chordType` instead of the type the chord modifiers
// choose when it is 0 or above.
struct Touch {
    static constexpr int kFullVelocity = 127;
    int velocity = kFullVelocity;
    int chordType = -1;
};

// The velocity a slot of this volume plays for a key struck at `velocity`:
// volume x velocity / 127, rounded to the nearest whole number.
constexpr int scaledVelocity(int volume, int velocity)
{
    return (2 * volume * velocity + Touch::kFullVelocity) / (2 * Touch::kFullVelocity);
}

class Hands {
public:
    bool any() const { return bits_ != 0; }
    bool has(Hand hand) const { return (bits_ & bit(hand)) != 0; }
    void add(Hand hand) { bits_ |= bit(hand); }
    void remove(Hand hand) { bits_ &= ~bit(hand); }

private:
    static unsigned bit(Hand hand) { return static_cast<unsigned>(hand); }
    unsigned bits_ = 0;
};

// A note a press started: the channel and note number of its note-on.
struct StartedNote {
    int channel;
    int note;
};

// The notes one press started, in the order they went out. The release
// stops exactly these, whatever changed in between.
using StartedNotes = std::vector<StartedNote>;

} // namespace clavora
