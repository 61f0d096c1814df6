#pragma once
#include "keys/HeldNotes.h"
#include "keys/KeyTable.h"
#include "keys/NumberEntry.h"

#include <QObject>
#include <QString>

#include <array>
#include <memory>

namespace clavora {
class Platform;
class VoiceArea;
struct SlotDefaults;
class ChordArea;
class DrumPads;
namespace sound {
class MidiPort;
}

// Everything the main window plays and remembers: the main and chord areas,
// drums mode, the 44 keys and the key commands. The window shows this state
// and forwards mouse and keyboard to it; nothing here knows about widgets.
class Piano : public QObject {
    Q_OBJECT
public:
    Piano(sound::MidiPort& port, Platform& platform, QObject* parent = nullptr);
    ~Piano() override;

    // Start-up: opens the MIDI output, picks the language, fills the tables
    // and sends every voice slot's program change.
    void startUp();
    // Shutdown: stops every note a held key started, then closes the MIDI
    // output, so no note is left sounding on an external synthesizer.
    void shutDown();

    VoiceArea& mainArea() { return *main_; }
    ChordArea& chordArea() { return *chords_; }
    DrumPads& drumPads() { return *drums_; }
    sound::MidiPort& port() { return port_; }

    int language() const { return language_; }
    void setLanguage(int language);
    // Sets the language from the country code of the regional settings.
    void detectLanguage();

    // On-screen keys are pressed by the mouse; the computer keyboard's keys
    // come through keyDown(). A key sounds from the first hand's press to the
    // last hand's release, and its release stops exactly the notes its press
    // started, whatever mode or setting changed meanwhile. A hand that did
    // not press the key releases nothing. `touch` gives the velocity (and a
    // chord key's type) of a key struck on a MIDI keyboard.
    void pressKey(int key, Hand hand = Hand::Mouse, const Touch& touch = {});
    void releaseKey(int key, Hand hand = Hand::Mouse);
    bool isKeyPressed(int key) const;
    // Lets go of every key and pad the hand holds.
    void releaseAll(Hand hand);

    void defaultMainSettings();
    // The main area's slots after defaultMainSettings().
    static const SlotDefaults& mainDefaults();
    // The silence command: stops the guitar strums, lets go of what the MIDI
    // input holds, All Sound Off on every channel; ends a pending split-point
    // choice.
    void silence();

    bool playDrums() const { return playDrums_; }
    void setPlayDrums(bool on);

    // Key events of the key receiver, in virtual-key codes and the modifier
    // mask (Shift 1, Ctrl 2, Alt 4).
    void keyDown(int code, int mask);
    void keyUp(int code, int mask);
    // Whether keyDown() would do nothing but play: no command, no chord
    // modifier, nothing that opens a window.
    bool onlyPlays(int code, int mask) const;

    // Releases the four chord modifiers, as after a dialog closes.
    void releaseChordModifiers();
    // The keyboard went elsewhere (another program, a dialog or menu, the
    // window minimised): its releases will not arrive, so every key it holds
    // is let go now and the chord modifiers are released.
    void keyboardLost();

signals:
    // The silence command is letting go of every key and pad the MIDI input
    // holds: what it kept of them is void.
    void silenced();
    void keyLookChanged(int key, bool pressed);
    void focusRequested();
    void playDrumsChanged(bool on);
    void languageChanged(int language);
    void helpRequested();
    void languageDialogRequested();
    void editChordRequested();
    void drumEditorRequested();

private:
    void pianoCommand(int code, int mask);
    void plainCommand(int code);
    void shiftCommand(int code);
    void ctrlCommand(int code);
    void shiftCtrlCommand(int code);
    void enterInstrumentDigit(NumberEntry& entry, int digit, VoiceArea& area);
    // Whether the keyboard holds the piano key or pad of this code: a press
    // of it is an auto-repeat.
    bool heldByKeyboard(int code) const;

    struct HeldKey {
        Hands hands;
        StartedNotes notes;
    };

    sound::MidiPort& port_;
    Platform& platform_;
    int language_ = 1;
    std::unique_ptr<VoiceArea> main_;
    std::unique_ptr<ChordArea> chords_;
    std::unique_ptr<DrumPads> drums_;
    std::array<HeldKey, kKeyCount> keys_ {};
    bool playDrums_ = false;
    NumberEntry mainInstrumentEntry_ {3};
    NumberEntry chordInstrumentEntry_ {3};
};

} // namespace clavora
