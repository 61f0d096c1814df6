#include "VoiceArea.h"

#include "lang/AreaWords.h"
#include "platform/MidiConstants.h"
#include "sound/GmNames.h"
#include "sound/MidiPort.h"

#include <algorithm>

namespace clavora {

using lang::AreaWord;

VoiceArea::VoiceArea(sound::MidiPort& port, const int& language, int channelOffset, QObject* parent)
    : QObject(parent)
    , port_(port)
    , language_(language)
    , channelOffset_(channelOffset)
    , instrument_(0, 127, 10, this)
    , octave_(1, 5, 2, this)
    , volume_(0, 127, 8, this)
    , channel_(1, kSlotCount, 3, this)
    , voices_(1, kSlotCount, 3, this)
{
    instrument_.setHandler([this] { instrumentChanged(); });
    octave_.setHandler([this] { octaveChanged(); });
    volume_.setHandler([this] { volumeChanged(); });
    channel_.setHandler([this] { channelChanged(); });
    voices_.setHandler([this] { voicesChanged(); });
}

std::size_t VoiceArea::index(int slot)
{
    return static_cast<std::size_t>(std::clamp(slot, 0, kSlotCount));
}

void VoiceArea::setSlot(int slot, int program, int octave, int volume)
{
    instruments_[index(slot)] = program;
    octaves_[index(slot)] = octave;
    volumes_[index(slot)] = volume;
}

int VoiceArea::midiChannelOfSlot(int slot) const
{
    return sound::midiChannelOf(slot + channelOffset_);
}

void VoiceArea::applyDefaults(const SlotDefaults& defaults)
{
    std::array<int, kSlotCount> volumes {};
    volumes.fill(defaults.volume);
    applySlots(defaults.program, defaults.octave, volumes, 1, 1);
}

void VoiceArea::applySlots(const std::array<int, kSlotCount>& programs, const std::array<int, kSlotCount>& octaves,
    const std::array<int, kSlotCount>& volumes, int slot, int voices)
{
    for (int s = 1; s <= kSlotCount; ++s)
        setSlot(s, programs[index(s - 1)], octaves[index(s - 1)], volumes[index(s - 1)]);
    for (int s = 1; s <= kSlotCount; ++s) {
        channel_.setValue(s);
        channel_.change();
    }
    channel_.setValue(slot);
    channel_.change();
    voices_.setValue(voices);
    voices_.change();
}

void VoiceArea::refreshLabels()
{
    instrument_.setLabel(sound::instrumentLabel(instrument_.value()));
    octave_.setLabel(lang::valueLabel(language_, AreaWord::Octave, octave_.value()));
    volume_.setLabel(lang::valueLabel(language_, AreaWord::Volume, volume_.value()));
    channel_.setLabel(lang::valueLabel(language_, AreaWord::Channel, channel_.value()));
    voices_.setLabel(lang::valueLabel(language_, AreaWord::Voices, voices_.value()));
}

void VoiceArea::channelChanged()
{
    const int slot = channel_.value();
    instrument_.setValue(slotInstrument(slot));
    octave_.setValue(slotOctave(slot));
    volume_.setValue(slotVolume(slot));
    channel_.setLabel(lang::valueLabel(language_, AreaWord::Channel, slot));
    instrument_.change();
    octave_.change();
    volume_.change();
}

void VoiceArea::instrumentChanged()
{
    const int program = instrument_.value();
    instrument_.setLabel(sound::instrumentLabel(program));
    instruments_[index(channel_.value())] = program;
    port_.sendShortMessage(midi::kProgramChange + midiChannelOfSlot(channel_.value()), program, 0);
}

void VoiceArea::octaveChanged()
{
    octave_.setLabel(lang::valueLabel(language_, AreaWord::Octave, octave_.value()));
    octaves_[index(channel_.value())] = octave_.value();
}

void VoiceArea::volumeChanged()
{
    volumes_[index(channel_.value())] = volume_.value();
    volume_.setLabel(lang::valueLabel(language_, AreaWord::Volume, volume_.value()));
}

void VoiceArea::voicesChanged()
{
    voices_.setLabel(lang::valueLabel(language_, AreaWord::Voices, voices_.value()));
}

} // namespace clavora
