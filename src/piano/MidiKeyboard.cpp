#include "MidiKeyboard.h"

#include "Piano.h"
#include "chords/ChordArea.h"
#include "chords/ChordRecognition.h"
#include "drums/DrumPads.h"
#include "keys/KeyTable.h"
#include "keys/VoiceArea.h"
#include "platform/MidiConstants.h"
#include "platform/MidiInput.h"
#include "platform/Platform.h"
#include "sound/MidiPort.h"

#include <algorithm>
#include <utility>

namespace clavora {

namespace {

constexpr int kPolyPressure = 0xA0;
constexpr int kChannelPressure = 0xD0;
constexpr int kPitchBend = 0xE0;
constexpr int kOctave = 12;

bool isChordPlaying(ChordArea::Mode mode)
{
    return mode == ChordArea::Mode::ThreeKeys || mode == ChordArea::Mode::Guitar;
}

} // namespace

MidiKeyboard::MidiKeyboard(Piano& piano, Platform& platform, QObject* parent)
    : QObject(parent)
    , piano_(piano)
    , platform_(platform)
{
    // Esc lets go of the input's keys itself: what was kept of them goes.
    connect(&piano_, &Piano::silenced, this, &MidiKeyboard::forget);
}

MidiKeyboard::~MidiKeyboard()
{
    platform_.cancelTimer(timer_);
    platform_.cancelTimer(checkTimer_);
}

int MidiKeyboard::keyOfNote(int note)
{
    int key = note - kFirstNote;
    while (key < 0)
        key += kOctave;
    while (key >= kKeyCount)
        key -= kOctave;
    return key;
}

void MidiKeyboard::receive(std::uint32_t message)
{
    const int type = midi::statusOf(message) & midi::kStatusTypeMask;
    const int data1 = midi::data1Of(message);
    const int data2 = midi::data2Of(message);
    if (data1 > midi::kMaxDataByte || data2 > midi::kMaxDataByte)
        return;
    switch (type) {
    case midi::kNoteOn:
        if (data2 == 0)
            noteOff(data1);
        else
            noteOn(data1, data2);
        break;
    case midi::kNoteOff:
        noteOff(data1);
        break;
    case midi::kProgramChange:
        // As a number typed on the keypad.
        piano_.mainArea().instrument().setValue(data1);
        break;
    case midi::kControlChange:
    case kChannelPressure:
    case kPitchBend:
        passThrough(type, data1, data2);
        break;
    case kPolyPressure: // its note may sound on other notes here, or several
    default:
        break;
    }
}

void MidiKeyboard::noteOn(int note, int velocity)
{
    if (notes_[static_cast<std::size_t>(note)].state != State::Off)
        noteOff(note);
    const int key = keyOfNote(note);
    if (piano_.playDrums()) {
        const int pad = piano_.drumPads().findDrumKey(kPianoKeys[static_cast<std::size_t>(key)].code);
        if (pad == DrumPads::kNoPad)
            return;
        notes_[static_cast<std::size_t>(note)].velocity = velocity;
        startSound({true, pad, false, {note}}, velocity);
        return;
    }
    notes_[static_cast<std::size_t>(note)].velocity = velocity;
    if (!waitsForChord(key)) {
        startSound({false, key, piano_.chordArea().isChordKey(key), {note}}, velocity);
        return;
    }
    notes_[static_cast<std::size_t>(note)].state = State::Waiting;
    if (timer_ == 0)
        timer_ = platform_.startTimer(kChordWindow, [this] {
            timer_ = 0;
            resolve();
        });
}

void MidiKeyboard::noteOff(int note)
{
    HeldNote& held = notes_[static_cast<std::size_t>(note)];
    // A note let go before the wait ends is heard, briefly, all the same.
    if (held.state == State::Waiting)
        resolve();
    if (held.state == State::Sounding)
        releaseSound(held.sound);
    held = HeldNote {};
}

bool MidiKeyboard::waitsForChord(int key) const
{
    ChordArea& chords = piano_.chordArea();
    return isChordPlaying(chords.mode()) && key < ChordArea::kChordKeyCount && chords.isChordKey(key);
}

void MidiKeyboard::resolve()
{
    platform_.cancelTimer(std::exchange(timer_, 0));
    std::vector<int> waiting;
    std::vector<int> together; // the waiting notes and the chord area's sounding ones
    for (int note = 0; note <= midi::kMaxDataByte; ++note) {
        const HeldNote& held = notes_[static_cast<std::size_t>(note)];
        if (held.state == State::Waiting)
            waiting.push_back(note);
        if (held.state == State::Waiting || (held.state == State::Sounding && sounds_.at(held.sound).chordArea))
            together.push_back(note);
    }
    if (waiting.empty())
        return;

    ChordArea& chords = piano_.chordArea();
    if (isChordPlaying(chords.mode()) && static_cast<int>(together.size()) >= kMinChordNotes) {
        const auto kind = chords.mode() == ChordArea::Mode::Guitar ? chords::ChordTableKind::Guitar
                                                                   : chords::ChordTableKind::Keyboard;
        if (const auto chord = chords::recogniseChord(chords.tables(), kind, together)) {
            // The chord takes the place of what its notes played so far, and
            // sounds as loud as its hardest-struck note.
            std::vector<int> replaced;
            for (const auto& [id, sound] : sounds_)
                if (sound.chordArea)
                    replaced.push_back(id);
            for (const int id : replaced)
                releaseSound(id);
            int velocity = 0;
            for (const int note : together)
                velocity = std::max(velocity, notes_[static_cast<std::size_t>(note)].velocity);
            startSound({false, chord->root, true, together}, velocity, chord->type);
            return;
        }
    }
    for (const int note : waiting) {
        const int key = keyOfNote(note);
        startSound({false, key, chords.isChordKey(key), {note}}, notes_[static_cast<std::size_t>(note)].velocity);
    }
}

void MidiKeyboard::startSound(Sound sound, int velocity, int chordType)
{
    const int id = ++lastSound_;
    for (const int note : sound.notes)
        notes_[static_cast<std::size_t>(note)] = {State::Sounding, notes_[static_cast<std::size_t>(note)].velocity, id};
    // Two notes an octave apart at either end may press the same key: it
    // sounds once, until the last of them lets go.
    int& holds = (sound.pad ? padHolds_ : keyHolds_)[sound.index];
    if (holds++ == 0) {
        if (sound.pad)
            piano_.drumPads().press(sound.index, Hand::Midi, velocity);
        else
            piano_.pressKey(sound.index, Hand::Midi, Touch {velocity, chordType});
    }
    sounds_.emplace(id, std::move(sound));
}

void MidiKeyboard::releaseSound(int id)
{
    const auto it = sounds_.find(id);
    if (it == sounds_.end())
        return;
    const Sound sound = std::move(it->second);
    sounds_.erase(it);
    // The other notes of a chord stay down but silent until they are let go.
    for (const int note : sound.notes)
        if (notes_[static_cast<std::size_t>(note)].sound == id)
            notes_[static_cast<std::size_t>(note)].state = State::Spent;
    auto& holds = sound.pad ? padHolds_ : keyHolds_;
    if (--holds[sound.index] > 0)
        return;
    holds.erase(sound.index);
    if (sound.pad)
        piano_.drumPads().release(sound.index, Hand::Midi);
    else
        piano_.releaseKey(sound.index, Hand::Midi);
}

void MidiKeyboard::passThrough(int type, int data1, int data2)
{
    sound::MidiPort& port = piano_.port();
    const auto send = [&](int channel, int, int) { port.sendShortMessage(type + channel, data1, data2); };
    piano_.mainArea().forEachSoundingSlot(send);
    piano_.chordArea().area().forEachSoundingSlot(send);
}

void MidiKeyboard::releaseAll()
{
    platform_.cancelTimer(std::exchange(timer_, 0));
    while (!sounds_.empty())
        releaseSound(sounds_.begin()->first);
    notes_.fill(HeldNote {});
}

void MidiKeyboard::follow(MidiInput& input)
{
    input_ = &input;
    platform_.cancelTimer(checkTimer_);
    checkTimer_ = platform_.startTimer(kSourceCheck, [this] {
        checkTimer_ = 0;
        if (input_->checkSource() == PortNews::Gone)
            releaseAll();
        follow(*input_);
    });
}

void MidiKeyboard::forget()
{
    platform_.cancelTimer(std::exchange(timer_, 0));
    sounds_.clear();
    keyHolds_.clear();
    padHolds_.clear();
    notes_.fill(HeldNote {});
}

} // namespace clavora
