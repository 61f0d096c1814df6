#pragma once
#include <QObject>

#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace clavora {
class MidiInput;
class Piano;
class Platform;

// Plays the piano from a MIDI keyboard. A note-on presses the on-screen key
// of its note (note 48 is key 0; notes outside 48..91 move by octaves into
// them) as the computer keyboard would, at the note's velocity; its note-off
// releases what that press started. In the two chord-playing modes the notes
// of the chord area wait up to 40 ms for the rest of their chord: three or
// more held together that make a chord of the current table play that chord
// instead. Controllers, pressure and pitch bend go to every sounding channel
// of both areas; a program change picks the main instrument. The channel of
// what comes in does not matter.
class MidiKeyboard : public QObject {
    Q_OBJECT
public:
    static constexpr int kFirstNote = 48; // the note of key 0
    static constexpr int kChordWindow = 40; // milliseconds a chord's notes may lie apart
    static constexpr int kMinChordNotes = 3;
    static constexpr int kSourceCheck = 500; // milliseconds between looks at the input's source

    MidiKeyboard(Piano& piano, Platform& platform, QObject* parent = nullptr);
    ~MidiKeyboard() override;

    // The key a note presses.
    static int keyOfNote(int note);

    // One channel message from the input (a packed short message).
    void receive(std::uint32_t message);
    // Lets go of everything the input holds, as when it closes.
    void releaseAll();
    // Looks at the input's source every kSourceCheck milliseconds, for as
    // long as this keyboard lives (on timers of the platform that wait in
    // the event loop): once it has gone, what it held is let go.
    void follow(MidiInput& input);

private:
    enum class State { Off, Waiting, Sounding, Spent };
    struct HeldNote {
        State state = State::Off;
        int velocity = 0;
        int sound = 0;
    };
    // What the input holds down: a key (a chord key possibly playing a
    // recognised chord) or a pad, and the notes holding it.
    struct Sound {
        bool pad;
        int index;
        bool chordArea;
        std::vector<int> notes;
    };

    void noteOn(int note, int velocity);
    void noteOff(int note);
    void passThrough(int type, int data1, int data2);
    bool waitsForChord(int key) const;
    // Ends the wait for a chord: the waiting notes play as a chord, or
    // each as its own key.
    void resolve();
    void startSound(Sound sound, int velocity, int chordType = -1);
    void releaseSound(int id);
    void forget();

    Piano& piano_;
    Platform& platform_;
    std::array<HeldNote, 128> notes_ {};
    std::map<int, Sound> sounds_;
    int lastSound_ = 0;
    std::map<int, int> keyHolds_; // key -> sounds holding it
    std::map<int, int> padHolds_; // pad -> sounds holding it
    int timer_ = 0;
    MidiInput* input_ = nullptr;
    int checkTimer_ = 0;
};

} // namespace clavora
