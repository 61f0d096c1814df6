#include "ChordArea.h"

#include "keys/VoiceArea.h"
#include "lang/AreaWords.h"
#include "platform/MidiConstants.h"
#include "platform/Platform.h"
#include "sound/MidiPort.h"

#include <utility>

namespace clavora {

namespace {

constexpr int kChordChannelOffset = 7;
constexpr int kChordAreaSplit = 12;

constexpr SlotDefaults kChordDefaults {
    {50, 89, 48, 52, 32, 24, 26},
    {4, 4, 4, 4, 3, 3, 3},
    103,
};

constexpr std::array<int, ChordArea::kModifierCount> kModifierWeights {1, 2, 4, 8};

} // namespace

const SlotDefaults& ChordArea::chordDefaults()
{
    return kChordDefaults;
}

// The slot each mode plays on after it is selected.
int ChordArea::slotOfMode(Mode mode)
{
    switch (mode) {
    case ChordArea::Mode::OneKey:
        return 5;
    case ChordArea::Mode::ThreeKeys:
        return 1;
    default:
        return 6;
    }
}

ChordArea::ChordArea(sound::MidiPort& port, Platform& platform, const int& language, QObject* parent)
    : QObject(parent)
    , port_(port)
    , platform_(platform)
    , language_(language)
    , slots_(std::make_unique<VoiceArea>(port, language, kChordChannelOffset))
    , suffixes_(chords::loadChordSuffixes())
{
}

ChordArea::~ChordArea() = default;

void ChordArea::selectMode(Mode mode)
{
    // The split command belongs to one-key mode: a choice still pending when
    // another mode is chosen is dropped, so the chord area never reaches past
    // the twelve chord keys.
    if (mode != Mode::OneKey)
        choosingSplitPoint_ = false;
    mode_ = mode;
    slots_->channel().setValue(slotOfMode(mode));
    slots_->voices().setValue(1);
    splitPoint_ = (mode == Mode::OneKey) ? chosenSplitPoint_ : kChordAreaSplit;
    emit modeChanged(mode);
    emit focusRequested();
}

void ChordArea::captureSplitPoint(int key)
{
    if (!choosingSplitPoint_)
        return;
    choosingSplitPoint_ = false;
    chosenSplitPoint_ = key;
    splitPoint_ = key;
}

bool ChordArea::isChordKey(int key) const
{
    return key < splitPoint_;
}

StartedNotes ChordArea::press(int key, const Touch& touch)
{
    StartedNotes started;
    const int type
        = (touch.chordType >= 0 && touch.chordType < chords::kChordTypeCount) ? touch.chordType : currentChordType_;
    switch (mode_) {
    case Mode::OneKey:
        slots_->forEachSoundingSlot([&](int channel, int octave, int volume) {
            noteOn(channel, octave * 12 + key, scaledVelocity(volume, touch.velocity), started);
        });
        break;
    case Mode::ThreeKeys:
        playKeyboardChord(key, type, touch.velocity, started);
        lastChordType_ = type;
        lastChordKey_ = key;
        break;
    case Mode::Guitar:
        strumGuitarChord(key, type, touch.velocity);
        lastChordType_ = type;
        lastChordKey_ = key;
        break;
    case Mode::None:
        break;
    }
    return started;
}

void ChordArea::noteOn(int channel, int note, int velocity, StartedNotes& started)
{
    port_.sendShortMessage(midi::kNoteOn + channel, note, velocity);
    started.push_back({channel, note});
}

void ChordArea::playKeyboardChord(int key, int type, int velocity, StartedNotes& started)
{
    if (key < 0 || key >= kChordKeyCount)
        return;
    const int notes = chords::chordNoteCount(type);
    slots_->forEachSoundingSlot([&](int channel, int octave, int volume) {
        for (int j = 1; j <= notes; ++j)
            noteOn(channel, octave * 12 + tables_.keyboardChordNote(key, type, j), scaledVelocity(volume, velocity),
                started);
    });
}

// The strings of every sounding slot, lowest string first, slot after slot,
// with a pause after each string played but the sixth; strings not played
// take no time.
void ChordArea::strumGuitarChord(int key, int type, int velocity)
{
    if (key < 0 || key >= kChordKeyCount)
        return;
    Strum& strum = strums_[static_cast<std::size_t>(key)];
    platform_.cancelTimer(strum.timer);
    strum = Strum {};
    slots_->forEachSoundingSlot([&](int channel, int octave, int volume) {
        for (int string = 1; string <= chords::kGuitarStringCount; ++string) {
            const int pitch = tables_.guitarStringPitch(key, type, string);
            if (pitch == chords::kStringNotPlayed)
                continue;
            strum.steps.push_back({channel, octave * 12 + pitch, scaledVelocity(volume, velocity)});
            if (string != chords::kGuitarStringCount)
                strum.steps.push_back({channel, kStrumGap, 0});
        }
    });
    continueStrum(key);
}

// Sends the strum's notes up to its next pause, and waits that out on the
// platform's timer. Where the platform has no timers the wait happens in
// place and the whole strum has gone out on return.
void ChordArea::continueStrum(int key)
{
    Strum& strum = strums_[static_cast<std::size_t>(key)];
    strum.timer = 0;
    while (strum.next < strum.steps.size()) {
        const StrumStep step = strum.steps[strum.next++];
        if (step.note == kStrumGap) {
            strum.timer = platform_.startTimer(kStrumPause, [this, key] { continueStrum(key); });
            return;
        }
        noteOn(step.channel, step.note, step.velocity, strum.sent);
    }
}

StartedNotes ChordArea::takeStrum(int key)
{
    if (key < 0 || key >= kChordKeyCount)
        return {};
    Strum& strum = strums_[static_cast<std::size_t>(key)];
    platform_.cancelTimer(strum.timer);
    return std::exchange(strum, Strum {}).sent;
}

void ChordArea::stopStrums()
{
    for (Strum& strum : strums_) {
        platform_.cancelTimer(strum.timer);
        strum.timer = 0;
        strum.next = strum.steps.size();
    }
}

void ChordArea::modifierPress(int modifier)
{
    if (modifier < 0 || modifier >= kModifierCount)
        return;
    modifierDown_[static_cast<std::size_t>(modifier)] = 1;
    updateChordType();
    emit modifierChanged(modifier, true);
}

void ChordArea::modifierRelease(int modifier)
{
    if (modifier < 0 || modifier >= kModifierCount)
        return;
    modifierDown_[static_cast<std::size_t>(modifier)] = 0;
    updateChordType();
    emit modifierChanged(modifier, false);
}

bool ChordArea::isModifierDown(int modifier) const
{
    return modifier >= 0 && modifier < kModifierCount && modifierDown_[static_cast<std::size_t>(modifier)] != 0;
}

void ChordArea::updateChordType()
{
    int sum = 0;
    for (std::size_t i = 0; i < modifierDown_.size(); ++i)
        sum += modifierDown_[i] * kModifierWeights[i];
    currentChordType_ = sum < chords::kChordTypeCount ? sum : 0;
    emit chordTypeChanged(chordTypeText());
}

QString ChordArea::chordTypeText() const
{
    return suffixes_.value(currentChordType_);
}

void ChordArea::defaultChordSettings()
{
    splitPoint_ = kChordAreaSplit;
    slots_->applyDefaults(kChordDefaults);
}

void ChordArea::resetChordSettings()
{
    defaultChordSettings();
    slots_->channel().setValue(slotOfMode(mode_ == Mode::None ? Mode::Guitar : mode_));
    slots_->channel().change();
}

void ChordArea::sameAsMainSettings(const VoiceArea& main)
{
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        slots_->setSlot(slot, main.slotInstrument(slot), main.slotOctave(slot), main.slotVolume(slot));
        slots_->channel().setValue(slot);
        slots_->channel().change();
    }
    slots_->voices().setValue(main.voices().value());
    slots_->voices().change();
    slots_->channel().setValue(main.channel().value());
    slots_->channel().change();
    emit focusRequested();
}

void ChordArea::split()
{
    platform_.messageBox(
        MessageIcon::Information, "Split Point", lang::areaWord(language_, lang::AreaWord::SplitPrompt).toStdString());
    choosingSplitPoint_ = true;
    emit focusRequested();
}

} // namespace clavora
