#pragma once
#include <vector>

namespace clavora {

// What holds a key down: the computer keyboard, the mouse, or both at once.
// A key sounds from the first press until the last of them lets go.
enum class Hand : unsigned { Keyboard = 1, Mouse = 2 };

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
