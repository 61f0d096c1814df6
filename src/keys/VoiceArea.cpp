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
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        instruments_[index(slot)] = defaults.program[index(slot - 1)];
        octaves_[index(slot)] = defaults.octave[index(slot - 1)];
    }
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        volumes_[index(slot)] = defaults.volume;
        channel_.setValue(slot);
        channel_.change();
    }
    channel_.setValue(1);
    channel_.change();
    voices_.setValue(1);
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
