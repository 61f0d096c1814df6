#pragma once
#include <QString>

namespace clavora::sound {

constexpr int kInstrumentCount = 128;
constexpr int kDrumNameCount = 47;

// General MIDI program name, program 0..127; empty outside.
QString instrumentName(int program);
// General MIDI percussion name by drum sound number 0..46 (note - 35); empty outside.
QString drumName(int number);

// "007 - Clavinet": the form the instrument labels show.
QString instrumentLabel(int program);
// "09 - Pedal Hi-Hat": one line of the drum-name columns, without the line feed.
QString drumNameLine(int number);

} // namespace clavora::sound
