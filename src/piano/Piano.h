#pragma once
#include "keys/KeyTable.h"
#include "keys/NumberEntry.h"

#include <QObject>
#include <QString>

#include <array>
#include <memory>

namespace clavora {
class Platform;
class VoiceArea;
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
    // Shutdown: closes the MIDI output.
    void shutDown();

    VoiceArea& mainArea() { return *main_; }
    ChordArea& chordArea() { return *chords_; }
    DrumPads& drumPads() { return *drums_; }
    sound::MidiPort& port() { return port_; }

    int language() const { return language_; }
    void setLanguage(int language);
    // Sets the language from the country code of the regional settings.
    void detectLanguage();

    void pressKey(int key);
    void releaseKey(int key);
    bool isKeyPressed(int key) const;

    void defaultMainSettings();
    // The silence command: All Sound Off on every channel; ends a pending
    // split-point choice.
    void silence();

    bool playDrums() const { return playDrums_; }
    void setPlayDrums(bool on);

    // Key events of the key receiver, in virtual-key codes and the modifier
    // mask (Shift 1, Ctrl 2, Alt 4).
    void keyDown(int code, int mask);
    void keyUp(int code, int mask);

    // Releases the four chord modifiers, as after a dialog closes.
    void releaseChordModifiers();

signals:
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

    sound::MidiPort& port_;
    Platform& platform_;
    int language_ = 1;
    std::unique_ptr<VoiceArea> main_;
    std::unique_ptr<ChordArea> chords_;
    std::unique_ptr<DrumPads> drums_;
    std::array<bool, kKeyCount> pressed_{};
    bool playDrums_ = false;
    NumberEntry mainInstrumentEntry_{3};
    NumberEntry chordInstrumentEntry_{3};
};

} // namespace clavora
