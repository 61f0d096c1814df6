#pragma once
#include "ChordModel.h"
#include "keys/HeldNotes.h"

#include <QObject>
#include <QString>

#include <array>
#include <memory>
#include <vector>

namespace clavora {
class Platform;
class VoiceArea;
struct SlotDefaults;
namespace sound {
class MidiPort;
}

// The left hand: keys below the split point play single notes, keyboard
// chords or strummed guitar chords on the chord area's seven voice slots.
// The chord type comes from the four chord modifiers (Shift, Ctrl, Caps Lock,
// Space) held while a key is pressed.
class ChordArea : public QObject {
    Q_OBJECT
public:
    enum class Mode { None, OneKey, ThreeKeys, Guitar };
    enum Modifier { ShiftModifier = 0, CtrlModifier = 1, CapsModifier = 2, SpaceModifier = 3 };
    static constexpr int kModifierCount = 4;
    static constexpr int kChordKeyCount = 12;
    static constexpr int kStrumPause = 20; // milliseconds between strings

    ChordArea(sound::MidiPort& port, Platform& platform, const int& language, QObject* parent = nullptr);
    ~ChordArea() override;

    // The chord area's slots after DefaultChordSettings, and the slot each
    // mode selects.
    static const SlotDefaults& chordDefaults();
    static int slotOfMode(Mode mode);

    VoiceArea& area() { return *slots_; }
    chords::ChordTables& tables() { return tables_; }
    const chords::ChordTables& tables() const { return tables_; }

    Mode mode() const { return mode_; }
    // Chords1Key, Chords3Keys, ChordsGuitar: selects the mode with its slot,
    // one voice and its split point.
    void selectMode(Mode mode);

    int splitPoint() const { return splitPoint_; }
    int chosenSplitPoint() const { return chosenSplitPoint_; }
    bool choosingSplitPoint() const { return choosingSplitPoint_; }
    void setChosenSplitPoint(int key) { chosenSplitPoint_ = key; }
    void cancelSplitChoice() { choosingSplitPoint_ = false; }
    // When a split choice is pending, the key pressed becomes the split point.
    void captureSplitPoint(int key);
    // Whether the key belongs to the chord area (below the split point).
    bool isChordKey(int key) const;

    // Plays a chord-area key in the selected mode, struck as `touch` says;
    // returns the notes it started, which its release stops. A guitar chord
    // strums on: its strings go out on the platform's timer, 20 ms apart,
    // while other keys play, and takeStrum() gives what it sent.
    StartedNotes press(int key, const Touch& touch = {});
    // Stops the strum of the key, if any, and returns the notes it sent (the
    // strings not yet reached stay silent).
    StartedNotes takeStrum(int key);
    // Stops every strum where it is; what each has sent is kept for its key's
    // release.
    void stopStrums();

    void modifierPress(int modifier);
    void modifierRelease(int modifier);
    bool isModifierDown(int modifier) const;
    int currentChordType() const { return currentChordType_; }
    QString chordTypeText() const;
    int lastChordType() const { return lastChordType_; }
    int lastChordKey() const { return lastChordKey_; }

    // DefaultChordSettings: split point 12, default slots, every program sent.
    void defaultChordSettings();
    // The reset button: defaults, then the slot of the current mode selected.
    void resetChordSettings();
    // Copies the main area's slots, voices and selected slot.
    void sameAsMainSettings(const VoiceArea& main);
    // The split command: explains with a box, then waits for the split key.
    void split();
    // The chord-edit command: shown in the two chord-playing modes.
    bool canEditChord() const { return mode_ == Mode::ThreeKeys || mode_ == Mode::Guitar; }

signals:
    void modeChanged(ChordArea::Mode mode);
    void modifierChanged(int modifier, bool down);
    void chordTypeChanged(const QString& text);
    void focusRequested();

private:
    // One step of a strum: a string's note-on, or the pause after it.
    struct StrumStep {
        int channel;
        int note; // kStrumGap for the pause
        int velocity;
    };
    static constexpr int kStrumGap = -1;
    struct Strum {
        std::vector<StrumStep> steps;
        std::size_t next = 0;
        StartedNotes sent;
        int timer = 0;
    };

    void playKeyboardChord(int key, int type, int velocity, StartedNotes& started);
    void strumGuitarChord(int key, int type, int velocity);
    void continueStrum(int key);
    void noteOn(int channel, int note, int velocity, StartedNotes& started);
    void updateChordType();

    sound::MidiPort& port_;
    Platform& platform_;
    const int& language_;
    std::unique_ptr<VoiceArea> slots_;
    chords::ChordTables tables_;
    QStringList suffixes_;
    Mode mode_ = Mode::None;
    int splitPoint_ = 12;
    int chosenSplitPoint_ = 0;
    bool choosingSplitPoint_ = false;
    int currentChordType_ = 0;
    std::array<int, kModifierCount> modifierDown_ {};
    int lastChordType_ = 0;
    int lastChordKey_ = 0;
    std::array<Strum, kChordKeyCount> strums_ {};
};

} // namespace clavora
