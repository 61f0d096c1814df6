#pragma once
#include "platform/MidiConstants.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace clavora {
class MidiOutput;
class Platform;
} // namespace clavora

namespace clavora::sound {

// Channel of a voice slot: slots 1..9 play on slot - 1, slots 10..14 on
// themselves, anything else on 0. Main slot s uses midiChannelOf(s), chord
// slot s uses midiChannelOf(s + 7); channel 9 is never produced.
int midiChannelOf(int slot);

// The program's single connection to its MIDI output device.
class MidiPort {
public:
    static constexpr int kDefaultDevice = -1;
    static constexpr int kDeviceCheck = 500; // milliseconds between looks at the open device

    MidiPort(MidiOutput& output, Platform& platform);
    ~MidiPort();
    MidiPort(const MidiPort&) = delete;
    MidiPort& operator=(const MidiPort&) = delete;

    // Opens device 0, possibly in the background: messages sent before it
    // is open are played once it is. On failure warns once with a box and
    // carries on silently.
    void openMidiOut();
    // From now on, when the open device stops working by itself (its sound
    // server went away), it is closed, device 0 is opened in its place,
    // `resetSettings` runs so that device 0 hears every program change, and
    // one warning says what happened. The device lost is waited for (see
    // followDevice) until another one is chosen.
    void fallBackWhenLost(std::function<void()> resetSettings);
    // From now on looks at the open device every kDeviceCheck milliseconds
    // (on timers of the platform that wait in the event loop): another
    // program's port that comes back after it left (a synthesizer started
    // again, a device plugged in again) hears the last controller values
    // and program sent on each channel again, in channel order. So does
    // device 0 when it opens after all: it found no audio output when it was
    // opened, and one has appeared since (a sound server started after the
    // program). A port lost with its JACK server opens again in device 0's
    // place once it is back (a server started again, with the program the
    // port belongs to), and is the current device again.
    void followDevice();
    // Opens the given device; false when it cannot be opened. Shows nothing.
    // A device lost is no longer waited for, as with closeMidiOut().
    bool openMidiOutDevice(int device);
    void closeMidiOut();
    // Asks the output to read its list of devices again.
    void refreshDevices();
    int midiOutCount() const;
    std::string midiOutName(int device) const;

    // Sends one short message; a data 1 outside 0..127 sends nothing.
    void sendShortMessage(int status, int data1, int data2);

    // A message box with the exclamation icon and the title "Warning".
    void warn(const std::string& text);

    // All Sound Off on every channel, 0 to 15.
    void allSoundOff();

    int currentMidiDevice() const { return currentDevice_; }
    // The name of the device chosen, as the list shows it: the current one,
    // or the one lost with its server while it is waited for (device 0 plays
    // meanwhile), so that a setup saved then still names it.
    std::string chosenDeviceName() const;
    void setCurrentMidiDevice(int device) { currentDevice_ = device; }
    // Result of the last open, close or send: 0 for success.
    int midiResult() const { return result_; }

    static const char* const kWarningTitle;
    static const char* const kOpenFailedText;
    static const char* const kDeviceLostText;
    static const char* const kDeviceLostSilentText;

private:
    MidiOutput& output_;
    Platform& platform_;
    int currentDevice_ = kDefaultDevice;
    int result_ = 0;
    // Sends what is in force on every channel again, in channel order:
    // its controllers, then its program.
    void sendSettingsAgain();
    void reopenLostDevice(int device);
    // Opens device 0 in the background; a failure is only kept in midiResult().
    void openDeviceZeroQuietly();

    std::array<int, midi::kChannelCount> programs_; // the last program sent on each channel; -1 for none
    // The last value of each controller (not the channel mode messages) on
    // each channel; -1 for none.
    std::array<std::array<std::int8_t, midi::kAllSoundOff>, midi::kChannelCount> controllers_;
    int checkTimer_ = 0;
    std::string awaited_; // the name of the device lost, while it is waited for
};

} // namespace clavora::sound
