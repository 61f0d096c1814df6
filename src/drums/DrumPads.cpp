#include "DrumPads.h"

#include "keys/Setting.h"
#include "lang/AreaWords.h"
#include "platform/MidiConstants.h"
#include "sound/MidiPort.h"

#include <algorithm>

namespace clavora {

namespace {

struct PadDefault {
    int code; // virtual-key code
    const char* cap; // text on the on-screen pad
    int note; // General MIDI percussion note
    bool high; // High intensity (else Normal)
};

// Rows as on the keyboard: Z to /, A to Enter, Q to ], 1 to Backspace.
constexpr std::array<PadDefault, DrumPads::kPadCount> kDefaultPads {{
    {90, "Z", 41, false},
    {88, "X", 41, false},
    {67, "C", 41, true},
    {86, "V", 41, true},
    {66, "B", 43, false},
    {78, "N", 43, false},
    {77, "M", 43, true},
    {188, ",", 43, true},
    {190, ".", 44, false},
    {191, "/", 44, true},
    {65, "A", 38, false},
    {83, "S", 38, false},
    {68, "D", 38, true},
    {70, "F", 38, true},
    {71, "G", 40, false},
    {72, "H", 40, false},
    {74, "J", 40, true},
    {75, "K", 40, true},
    {76, "L", 42, false},
    {186, ";", 42, true},
    {222, "'", 49, true},
    {13, "Ent", 57, true},
    {81, "Q", 35, false},
    {87, "W", 35, false},
    {69, "E", 35, true},
    {82, "R", 35, true},
    {84, "T", 36, false},
    {89, "Y", 36, false},
    {85, "U", 36, true},
    {73, "I", 36, true},
    {79, "O", 46, false},
    {80, "P", 46, true},
    {219, "[", 51, false},
    {221, "]", 51, true},
    {49, "1", 45, false},
    {50, "2", 45, false},
    {51, "3", 45, true},
    {52, "4", 45, true},
    {53, "5", 48, false},
    {54, "6", 48, false},
    {55, "7", 48, true},
    {56, "8", 48, true},
    {57, "9", 50, false},
    {48, "0", 50, false},
    {189, "-", 50, true},
    {187, "=", 50, true},
    {8, "BS", 55, true},
}};

// Insert, Home, Page Up, Delete, End, Page Down: keys of the drum rows with no pad.
constexpr std::array<int, DrumPads::kKeyCodeCount - DrumPads::kPadCount> kPadlessCodes {45, 36, 33, 46, 35, 34};

constexpr int kLastSound = midi::kDrumSoundCount - 1;

} // namespace

DrumPads::DrumPads(sound::MidiPort& port, const int& language, QObject* parent)
    : QObject(parent)
    , port_(port)
    , language_(language)
    , volume_(std::make_unique<Setting>(0, 127, 8))
{
    volume_->setHandler(
        [this] { volume_->setLabel(lang::valueLabel(language_, lang::AreaWord::Volume, volume_->value())); });
    volume_->setValue(kDefaultVolume);
}

DrumPads::~DrumPads() = default;

void DrumPads::defaultDrumSettings()
{
    for (int pad = 0; pad < kPadCount; ++pad) {
        const PadDefault& d = kDefaultPads[static_cast<std::size_t>(pad)];
        notes_[static_cast<std::size_t>(pad)] = d.note;
        reductions_[static_cast<std::size_t>(pad)] = d.high ? kHighReduction : kNormalReduction;
    }
    for (int pad = 0; pad < kPadCount; ++pad)
        emit padNumberChanged(pad);
}

int DrumPads::keyCodeOf(int pad)
{
    if (isPad(pad))
        return kDefaultPads[static_cast<std::size_t>(pad)].code;
    if (pad >= kPadCount && pad < kKeyCodeCount)
        return kPadlessCodes[static_cast<std::size_t>(pad - kPadCount)];
    return 0;
}

QString DrumPads::capOf(int pad)
{
    return isPad(pad) ? QString::fromLatin1(kDefaultPads[static_cast<std::size_t>(pad)].cap) : QString();
}

int DrumPads::defaultSoundOf(int pad)
{
    return isPad(pad) ? kDefaultPads[static_cast<std::size_t>(pad)].note - midi::kFirstDrumNote : 0;
}

bool DrumPads::defaultHighOf(int pad)
{
    return isPad(pad) && kDefaultPads[static_cast<std::size_t>(pad)].high;
}

int DrumPads::findDrumKey(int code) const
{
    for (int index = 0; index < kKeyCodeCount; ++index)
        if (keyCodeOf(index) == code)
            return index;
    return kNoPad;
}

int DrumPads::noteOf(int pad)
{
    lastDrumKey_ = pad;
    return notes_[static_cast<std::size_t>(pad)];
}

int DrumPads::velocityOf(int pad) const
{
    return std::max(0, volume_->value() - reductions_[static_cast<std::size_t>(pad)]);
}

void DrumPads::press(int pad, Hand hand, int velocity)
{
    // The navigation keys of the drum rows have no pad: they do nothing.
    if (!isPad(pad))
        return;
    Hands& hands = hands_[static_cast<std::size_t>(pad)];
    const bool sounding = hands.any();
    hands.add(hand);
    if (sounding)
        return;
    const int note = noteOf(pad);
    startedNotes_[static_cast<std::size_t>(pad)] = note;
    port_.sendShortMessage(midi::kNoteOn + midi::kDrumChannel, note, scaledVelocity(velocityOf(pad), velocity));
    // Shown after the sound has gone: drawing can wait.
    emit padLookChanged(pad, true);
}

void DrumPads::release(int pad, Hand hand)
{
    if (!isHeldBy(pad, hand))
        return;
    Hands& hands = hands_[static_cast<std::size_t>(pad)];
    hands.remove(hand);
    if (hands.any())
        return;
    lastDrumKey_ = pad;
    port_.sendShortMessage(midi::kNoteOff + midi::kDrumChannel, startedNotes_[static_cast<std::size_t>(pad)], 0);
    emit padLookChanged(pad, false);
}

bool DrumPads::isHeldBy(int pad, Hand hand) const
{
    return isPad(pad) && hands_[static_cast<std::size_t>(pad)].has(hand);
}

void DrumPads::releaseAll(Hand hand)
{
    for (int pad = 0; pad < kPadCount; ++pad)
        release(pad, hand);
}

void DrumPads::setLastDrumKey(int pad)
{
    if (isPad(pad))
        lastDrumKey_ = pad;
}

int DrumPads::soundNumber(int pad) const
{
    return isPad(pad) ? notes_[static_cast<std::size_t>(pad)] - midi::kFirstDrumNote : 0;
}

bool DrumPads::isHigh(int pad) const
{
    return isPad(pad) && reductions_[static_cast<std::size_t>(pad)] == kHighReduction;
}

void DrumPads::setSound(int pad, int number, bool high)
{
    if (!isPad(pad) || number < 0 || number > kLastSound)
        return;
    notes_[static_cast<std::size_t>(pad)] = number + midi::kFirstDrumNote;
    reductions_[static_cast<std::size_t>(pad)] = high ? kHighReduction : kNormalReduction;
    emit padNumberChanged(pad);
}

QString DrumPads::numberText(int pad) const
{
    return QStringLiteral("%1").arg(soundNumber(pad), 2, 10, QLatin1Char('0'));
}

void DrumPads::stepSound(int delta)
{
    const int number = soundNumber(lastDrumKey_);
    if ((delta < 0 && number <= 0) || (delta > 0 && number >= kLastSound))
        return;
    setSound(lastDrumKey_, number + delta, isHigh(lastDrumKey_));
}

void DrumPads::jumpSound(int delta)
{
    setSound(lastDrumKey_, std::clamp(soundNumber(lastDrumKey_) + delta, 0, kLastSound), isHigh(lastDrumKey_));
}

void DrumPads::setLastIntensity(bool high)
{
    setSound(lastDrumKey_, soundNumber(lastDrumKey_), high);
}

void DrumPads::enterDigit(int digit)
{
    if (const auto number = numberEntry_.enter(digit); number && *number < midi::kDrumSoundCount)
        setSound(lastDrumKey_, *number, isHigh(lastDrumKey_));
}

void DrumPads::refreshLabels()
{
    volume_->setLabel(lang::valueLabel(language_, lang::AreaWord::Volume, volume_->value()));
}

} // namespace clavora
