#include "Piano.h"

#include "chords/ChordArea.h"
#include "drums/DrumPads.h"
#include "keys/KeyCodes.h"
#include "keys/Setting.h"
#include "keys/VoiceArea.h"
#include "lang/LanguageDetection.h"
#include "platform/MidiConstants.h"
#include "platform/Platform.h"
#include "sound/MidiPort.h"

#include <utility>

namespace clavora {

using namespace keys;

namespace {

constexpr SlotDefaults kMainDefaults {
    {0, 48, 49, 56, 73, 32, 19},
    {4, 4, 3, 4, 4, 2, 4},
    127,
};

// Chord modifier of a key code: Shift, Ctrl, Caps Lock, Space; -1 for others.
int chordModifierOf(int code)
{
    switch (code) {
    case kShift:
        return ChordArea::ShiftModifier;
    case kCtrl:
        return ChordArea::CtrlModifier;
    case kCapsLock:
        return ChordArea::CapsModifier;
    case kSpace:
        return ChordArea::SpaceModifier;
    default:
        return -1;
    }
}

} // namespace

Piano::Piano(sound::MidiPort& port, Platform& platform, QObject* parent)
    : QObject(parent)
    , port_(port)
    , platform_(platform)
    , main_(std::make_unique<VoiceArea>(port, language_, 0))
    , chords_(std::make_unique<ChordArea>(port, platform, language_))
    , drums_(std::make_unique<DrumPads>(port, language_))
{
    connect(chords_.get(), &ChordArea::focusRequested, this, &Piano::focusRequested);
    connect(drums_.get(), &DrumPads::helpRequested, this, &Piano::helpRequested);
    connect(drums_.get(), &DrumPads::languageDialogRequested, this, &Piano::languageDialogRequested);
    connect(drums_.get(), &DrumPads::editorRequested, this, &Piano::drumEditorRequested);
    connect(drums_.get(), &DrumPads::drumsModeToggleRequested, this, [this] { setPlayDrums(!playDrums_); });
    connect(drums_.get(), &DrumPads::silenceRequested, this, &Piano::silence);
}

Piano::~Piano() = default;

void Piano::startUp()
{
    port_.openMidiOut();
    detectLanguage();
    setPlayDrums(false);
    drums_->defaultDrumSettings();
    defaultMainSettings();
    chords_->defaultChordSettings();
    chords_->tables().loadDefaults();
    chords_->setChosenSplitPoint(0);
    chords_->area().channel().change();
    drums_->volume().change();
    mainInstrumentEntry_.restart();
    chordInstrumentEntry_.restart();
    chords_->selectMode(ChordArea::Mode::ThreeKeys);
    port_.setCurrentMidiDevice(sound::MidiPort::kDefaultDevice);
}

void Piano::shutDown()
{
    releaseAll(Hand::Keyboard);
    releaseAll(Hand::Mouse);
    releaseAll(Hand::Midi);
    port_.closeMidiOut();
}

void Piano::setLanguage(int language)
{
    language_ = language;
    main_->refreshLabels();
    chords_->area().refreshLabels();
    drums_->refreshLabels();
    emit languageChanged(language_);
}

void Piano::detectLanguage()
{
    setLanguage(lang::languageForCountryCode(platform_.countryCode()));
}

void Piano::pressKey(int key, Hand hand, const Touch& touch)
{
    if (key < 0 || key >= kKeyCount)
        return;
    chords_->captureSplitPoint(key);
    HeldKey& held = keys_[static_cast<std::size_t>(key)];
    const bool sounding = held.hands.any();
    held.hands.add(hand);
    if (sounding)
        return;
    // The notes go out first and the key shows pressed after: drawing can
    // wait, the sound cannot.
    if (chords_->isChordKey(key)) {
        held.notes = chords_->press(key, touch);
    } else {
        main_->forEachSoundingSlot([&](int channel, int octave, int volume) {
            port_.sendShortMessage(midi::kNoteOn + channel, octave * 12 + key, scaledVelocity(volume, touch.velocity));
            held.notes.push_back({channel, octave * 12 + key});
        });
    }
    emit keyLookChanged(key, true);
}

void Piano::releaseKey(int key, Hand hand)
{
    if (key < 0 || key >= kKeyCount)
        return;
    HeldKey& held = keys_[static_cast<std::size_t>(key)];
    if (!held.hands.has(hand))
        return;
    held.hands.remove(hand);
    if (held.hands.any())
        return;
    // A strum still under way stops, and what it sent so far ends after the
    // rest. The list keeps its room for the key's next press.
    const StartedNotes strummed = chords_->takeStrum(key);
    for (const StartedNote& note : held.notes)
        port_.sendShortMessage(midi::kNoteOff + note.channel, note.note, 0);
    for (const StartedNote& note : strummed)
        port_.sendShortMessage(midi::kNoteOff + note.channel, note.note, 0);
    held.notes.clear();
    emit keyLookChanged(key, false);
}

bool Piano::isKeyPressed(int key) const
{
    return key >= 0 && key < kKeyCount && keys_[static_cast<std::size_t>(key)].hands.any();
}

void Piano::releaseAll(Hand hand)
{
    for (int key = 0; key < kKeyCount; ++key)
        releaseKey(key, hand);
    drums_->releaseAll(hand);
}

void Piano::keyboardLost()
{
    releaseAll(Hand::Keyboard);
    releaseChordModifiers();
}

bool Piano::heldByKeyboard(int code) const
{
    const int key = findKey(code);
    if (key != kNoKey && keys_[static_cast<std::size_t>(key)].hands.has(Hand::Keyboard))
        return true;
    return drums_->isHeldBy(drums_->findDrumKey(code), Hand::Keyboard);
}

const SlotDefaults& Piano::mainDefaults()
{
    return kMainDefaults;
}

void Piano::defaultMainSettings()
{
    main_->applyDefaults(kMainDefaults);
}

void Piano::silence()
{
    chords_->stopStrums();
    emit silenced();
    releaseAll(Hand::Midi);
    port_.allSoundOff();
    chords_->cancelSplitChoice();
    emit focusRequested();
}

void Piano::setPlayDrums(bool on)
{
    playDrums_ = on;
    emit playDrumsChanged(on);
}

void Piano::releaseChordModifiers()
{
    for (int modifier = 0; modifier < ChordArea::kModifierCount; ++modifier)
        chords_->modifierRelease(modifier);
}

// Key-down dispatch: chord modifiers first, then by mode and modifier mask a
// command or a playing key.
void Piano::keyDown(int code, int mask)
{
    if (const int modifier = chordModifierOf(code); modifier >= 0)
        chords_->modifierPress(modifier);
    // A held key's auto-repeat plays nothing new, even after a mode change;
    // playing keys are never commands, so nothing else is missed.
    if (heldByKeyboard(code))
        return;

    if (playDrums_)
        drums_->keyDown(code, mask);
    else
        pianoCommand(code, mask);
}

bool Piano::onlyPlays(int code, int mask) const
{
    if (chordModifierOf(code) >= 0)
        return false;
    if (playDrums_)
        return drums_->onlyPlays(code, mask);
    const bool command = isKeypadDigit(code) || isFunctionKey(code) || isArrow(code) || code == kEscape;
    return !command && findKey(code) != kNoKey;
}

void Piano::pianoCommand(int code, int mask)
{
    // A key that falls into a command table does that table's command, or
    // nothing when the table does not list it.
    if (mask == 0 && (isKeypadDigit(code) || isFunctionKey(code) || isArrow(code)))
        return plainCommand(code);
    if (mask == kShiftMask && (isFunctionKey(code) || isArrow(code)))
        return shiftCommand(code);
    if (mask == kCtrlMask && (isKeypadDigit(code) || isArrow(code)))
        return ctrlCommand(code);
    if (mask == (kShiftMask | kCtrlMask) && (code == kLeft || code == kRight || isFunctionKey(code)))
        return shiftCtrlCommand(code);

    if (code == kEscape) {
        silence();
        return;
    }
    const int key = findKey(code);
    if (key != kNoKey)
        pressKey(key, Hand::Keyboard);
}

void Piano::plainCommand(int code)
{
    VoiceArea& chord = chords_->area();
    if (isKeypadDigit(code)) {
        enterInstrumentDigit(mainInstrumentEntry_, code - kKeypad0, *main_);
        return;
    }
    switch (code) {
    case kLeft:
        main_->instrument().step(-1);
        break;
    case kRight:
        main_->instrument().step(+1);
        break;
    case kDown:
        main_->octave().step(-1);
        break;
    case kUp:
        main_->octave().step(+1);
        break;
    case kF(1):
        emit helpRequested();
        break;
    case kF(2):
        chords_->selectMode(ChordArea::Mode::OneKey);
        break;
    case kF(3):
        chords_->selectMode(ChordArea::Mode::ThreeKeys);
        break;
    case kF(4):
        chords_->selectMode(ChordArea::Mode::Guitar);
        break;
    case kF(5):
        main_->channel().step(-1);
        break;
    case kF(6):
        main_->channel().step(+1);
        break;
    case kF(7):
        main_->voices().step(-1);
        break;
    case kF(8):
        main_->voices().step(+1);
        break;
    case kF(9):
        chord.channel().step(-1);
        break;
    // F10 also asks for an Esc keystroke; on this desktop F10 means nothing
    // to the window, so that keystroke is dropped.
    case kF(10):
        chord.channel().step(+1);
        break;
    case kF(11):
        chord.voices().step(-1);
        break;
    case kF(12):
        chord.voices().step(+1);
        break;
    default:
        break;
    }
}

void Piano::shiftCommand(int code)
{
    VoiceArea& chord = chords_->area();
    switch (code) {
    case kLeft:
        main_->instrument().clampedStep(-10);
        break;
    case kRight:
        main_->instrument().clampedStep(+10);
        break;
    case kF(1):
        emit languageDialogRequested();
        break;
    case kF(2):
        if (chords_->mode() == ChordArea::Mode::OneKey)
            chords_->split();
        break;
    case kF(3):
        chords_->sameAsMainSettings(*main_);
        break;
    case kF(4):
        setPlayDrums(true);
        break;
    case kF(5):
        main_->volume().clampedStep(-8);
        break;
    case kF(6):
        main_->volume().clampedStep(+8);
        break;
    case kF(9):
        chord.volume().clampedStep(-8);
        break;
    case kF(10):
        chord.volume().clampedStep(+8);
        break; // the Esc keystroke is dropped, as for F10
    case kF(12):
        if (chords_->canEditChord())
            emit editChordRequested();
        break;
    default:
        break;
    }
}

void Piano::ctrlCommand(int code)
{
    VoiceArea& chord = chords_->area();
    if (isKeypadDigit(code)) {
        enterInstrumentDigit(chordInstrumentEntry_, code - kKeypad0, chord);
        return;
    }
    switch (code) {
    case kLeft:
        chord.instrument().step(-1);
        break;
    case kRight:
        chord.instrument().step(+1);
        break;
    case kDown:
        chord.octave().step(-1);
        break;
    case kUp:
        chord.octave().step(+1);
        break;
    default:
        break;
    }
}

void Piano::shiftCtrlCommand(int code)
{
    VoiceArea& chord = chords_->area();
    switch (code) {
    case kLeft:
        chord.instrument().clampedStep(-10);
        break;
    case kRight:
        chord.instrument().clampedStep(+10);
        break;
    case kF(8):
        defaultMainSettings();
        emit focusRequested();
        break;
    case kF(12):
        chords_->resetChordSettings();
        emit focusRequested();
        break;
    default:
        break;
    }
}

void Piano::enterInstrumentDigit(NumberEntry& entry, int digit, VoiceArea& area)
{
    const auto number = entry.enter(digit);
    if (!number)
        return;
    if (*number <= 127)
        area.instrument().setValue(*number);
    else
        platform_.beep();
}

// A key's release lets go of what its press started, in whichever mode that
// was; a key the keyboard did not press here releases nothing.
void Piano::keyUp(int code, int /*mask*/)
{
    if (const int modifier = chordModifierOf(code); modifier >= 0)
        chords_->modifierRelease(modifier);
    releaseKey(findKey(code), Hand::Keyboard);
    drums_->keyUp(code);
}

} // namespace clavora
