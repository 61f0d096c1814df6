#pragma once
// The MIDI numbers the program sends, in one place.
#include <cstdint>

namespace clavora::midi {

constexpr int kNoteOff = 0x80;
constexpr int kNoteOn = 0x90;
constexpr int kControlChange = 0xB0;
constexpr int kProgramChange = 0xC0;
constexpr int kStatusTypeMask = 0xF0;
constexpr int kChannelMask = 0x0F;

constexpr int kAllSoundOff = 120; // controller number; the channel mode messages start here
constexpr int kResetAllControllers = 121;
constexpr int kChannelCount = 16;
constexpr int kDrumChannel = 9; // General MIDI percussion
constexpr int kTuneChannel = 15; // About-box tunes

constexpr int kMaxDataByte = 127;
constexpr int kFirstDrumNote = 35; // General MIDI percussion map starts here
constexpr int kDrumSoundCount = 47; // notes 35..81

// Packs a short message as the platform wants it: status in bits 0-7,
// data 1 in bits 8-15, data 2 in bits 16-23.
constexpr std::uint32_t packShortMessage(int status, int data1, int data2)
{
    return static_cast<std::uint32_t>(status & 0xFF) | (static_cast<std::uint32_t>(data1 & 0xFF) << 8)
        | (static_cast<std::uint32_t>(data2 & 0xFF) << 16);
}

constexpr int statusOf(std::uint32_t packed)
{
    return static_cast<int>(packed & 0xFF);
}
constexpr int data1Of(std::uint32_t packed)
{
    return static_cast<int>((packed >> 8) & 0xFF);
}
constexpr int data2Of(std::uint32_t packed)
{
    return static_cast<int>((packed >> 16) & 0xFF);
}
constexpr int channelOf(std::uint32_t packed)
{
    return statusOf(packed) & kChannelMask;
}

// Number of bytes a message with this status byte carries on the wire.
constexpr int messageLength(int status)
{
    const int type = status & kStatusTypeMask;
    return (type == kProgramChange || type == 0xD0) ? 2 : 3;
}

} // namespace clavora::midi
