#pragma once
#include "keys/HeldNotes.h"
#include "keys/NumberEntry.h"

#include <QObject>
#include <QString>

#include <array>
#include <memory>

namespace clavora {
class Setting;
namespace sound {
class MidiPort;
}

// Drums mode: 47 pads, each playing one General MIDI percussion sound on
// channel 9 at Normal or High intensity, scaled by the drum volume.
class DrumPads : public QObject {
    Q_OBJECT
public:
    static constexpr int kPadCount = 47;
    static constexpr int kKeyCodeCount = 53; // six navigation keys have no pad
    static constexpr int kNoPad = -1;
    static constexpr int kNormalReduction = 48;
    static constexpr int kHighReduction = 0;

    DrumPads(sound::MidiPort& port, const int& language, QObject* parent = nullptr);
    ~DrumPads() override;

    Setting& volume() { return *volume_; }

    // Restores the key codes, sounds and intensities of every pad.
    void defaultDrumSettings();

    // The pad a computer key plays, or kNoPad.
    int findDrumKey(int code) const;
    static int keyCodeOf(int pad);
    static QString capOf(int pad);
    // The sound number and intensity a pad has after defaultDrumSettings().
    static int defaultSoundOf(int pad);
    static bool defaultHighOf(int pad);
    static constexpr int kDefaultVolume = 127;

    // A pad sounds from the first hand's press to the last hand's release,
    // and its release stops the note its press started even when the pad's
    // sound changed meanwhile. A hand that did not press it releases nothing.
    // `velocity` is what a MIDI keyboard struck the pad with: the pad then
    // plays its velocity scaled by it.
    void press(int pad, Hand hand = Hand::Mouse, int velocity = Touch::kFullVelocity);
    void release(int pad, Hand hand = Hand::Mouse);
    bool isHeldBy(int pad, Hand hand) const;
    // Lets go of every pad the hand holds.
    void releaseAll(Hand hand);

    int lastDrumKey() const { return lastDrumKey_; }
    void setLastDrumKey(int pad);

    // Drum sound number (note - 35) and intensity of a pad.
    int soundNumber(int pad) const;
    bool isHigh(int pad) const;
    void setSound(int pad, int number, bool high);
    // "09": the number box caption.
    QString numberText(int pad) const;

    // Keyboard commands on the last pad.
    void stepSound(int delta); // arrows: +-1, stops at 0 and 46
    void jumpSound(int delta); // Shift+arrows: +-8, clamped
    void setLastIntensity(bool high); // Up, Down
    void enterDigit(int digit); // keypad: two digits make a number below 47

    void refreshLabels();

    // Key events in drums mode, in virtual-key codes and the modifier mask
    // (Shift 1, Ctrl 2, Alt 4): commands, or the pad of the key.
    void keyDown(int code, int mask);
    void keyUp(int code);
    // Whether keyDown() would do nothing but play a pad.
    bool onlyPlays(int code, int mask) const;

signals:
    void padLookChanged(int pad, bool pressed);
    void padNumberChanged(int pad);
    // Commands of drums mode that reach beyond the pads.
    void helpRequested();
    void languageDialogRequested();
    void editorRequested();
    void drumsModeToggleRequested();
    void silenceRequested();

private:
    void plainCommand(int code);
    void shiftCommand(int code);
    int noteOf(int pad);
    int velocityOf(int pad) const;
    static bool isPad(int pad) { return pad >= 0 && pad < kPadCount; }

    sound::MidiPort& port_;
    const int& language_;
    std::unique_ptr<Setting> volume_;
    std::array<int, kPadCount> notes_ {};
    std::array<int, kPadCount> reductions_ {};
    std::array<Hands, kPadCount> hands_ {};
    std::array<int, kPadCount> startedNotes_ {};
    int lastDrumKey_ = 0;
    NumberEntry numberEntry_ {2};
};

} // namespace clavora
