#pragma once
#include "Setting.h"

#include <QObject>

#include <algorithm>
#include <array>
#include <functional>

namespace clavora::sound {
class MidiPort;
}

namespace clavora {

constexpr int kSlotCount = 7;

// Defaults of an area's seven voice slots, index 0 for slot 1.
struct SlotDefaults {
    std::array<int, kSlotCount> program;
    std::array<int, kSlotCount> octave;
    int volume;
};

// The seven voice slots of one area (main or chord) with the five settings
// that edit them: Instrument, Octave, Volume, Channel (the slot being edited,
// and the first that sounds) and Voices (how many consecutive slots sound).
class VoiceArea : public QObject {
    Q_OBJECT
public:
    // channelOffset is added to the slot number before it is mapped to a MIDI
    // channel: 0 for the main area, 7 for the chord area.
    VoiceArea(sound::MidiPort& port, const int& language, int channelOffset, QObject* parent = nullptr);

    Setting& instrument() { return instrument_; }
    Setting& octave() { return octave_; }
    Setting& volume() { return volume_; }
    Setting& channel() { return channel_; }
    Setting& voices() { return voices_; }
    const Setting& channel() const { return channel_; }
    const Setting& voices() const { return voices_; }

    // Slot tables, index = slot number 1..7 (entry 0 unused).
    int slotInstrument(int slot) const { return instruments_[index(slot)]; }
    int slotOctave(int slot) const { return octaves_[index(slot)]; }
    int slotVolume(int slot) const { return volumes_[index(slot)]; }
    void setSlot(int slot, int program, int octave, int volume);

    int midiChannelOfSlot(int slot) const;

    // Calls f(channel, octave, velocity) for every sounding slot, lowest first:
    // Channel up to Channel + Voices - 1, leaving out slots above 7. Called
    // on every press, so the callable is taken as it is, never copied.
    template <typename F> void forEachSoundingSlot(F&& f) const
    {
        const int first = channel_.value();
        const int last = std::min(first + voices_.value() - 1, kSlotCount);
        for (int slot = first; slot <= last; ++slot)
            f(midiChannelOfSlot(slot), slotOctave(slot), slotVolume(slot));
    }

    // Fills the slots from the defaults and selects each slot in turn, which
    // sends every slot's program change; ends on slot 1 with one voice.
    void applyDefaults(const SlotDefaults& defaults);
    // Fills the slots from the tables (index 0 for slot 1) and selects each
    // slot in turn, as applyDefaults() does, then selects `slot` with
    // `voices` voices.
    void applySlots(const std::array<int, kSlotCount>& programs, const std::array<int, kSlotCount>& octaves,
        const std::array<int, kSlotCount>& volumes, int slot, int voices);

    // Rewrites every label (after a change of language).
    void refreshLabels();

private:
    static std::size_t index(int slot);
    void channelChanged();
    void instrumentChanged();
    void octaveChanged();
    void volumeChanged();
    void voicesChanged();

    sound::MidiPort& port_;
    const int& language_;
    int channelOffset_;
    Setting instrument_;
    Setting octave_;
    Setting volume_;
    Setting channel_;
    Setting voices_;
    std::array<int, kSlotCount + 1> instruments_ {};
    std::array<int, kSlotCount + 1> octaves_ {};
    std::array<int, kSlotCount + 1> volumes_ {};
};

} // namespace clavora
