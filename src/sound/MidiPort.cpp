#include "MidiPort.h"

#include "platform/MidiConstants.h"
#include "platform/MidiOutput.h"
#include "platform/Platform.h"

namespace clavora::sound {

namespace {
constexpr int kFailed = 1;
}

const char* const MidiPort::kWarningTitle = "Warning";
const char* const MidiPort::kOpenFailedText = "Unable to access the MIDI Device.\n\nNo sound will be played";
const char* const MidiPort::kDeviceLostText
    = "The MIDI Device stopped working: its sound server went away.\n\nOpening default Device";
const char* const MidiPort::kDeviceLostSilentText
    = "The MIDI Device stopped working: its sound server went away.\n\nNo sound will be played";

int midiChannelOf(int slot)
{
    if (slot >= 1 && slot <= 9)
        return slot - 1;
    if (slot >= 10 && slot <= 14)
        return slot;
    return 0;
}

MidiPort::MidiPort(MidiOutput& output, Platform& platform)
    : output_(output)
    , platform_(platform)
{
    programs_.fill(-1);
    for (auto& channel : controllers_)
        channel.fill(-1);
}

MidiPort::~MidiPort()
{
    platform_.cancelTimer(checkTimer_);
}

void MidiPort::followDevice()
{
    checkTimer_ = platform_.startTimer(kDeviceCheck, [this] {
        checkTimer_ = 0;
        const PortNews news = output_.checkDevice();
        // Device 0 found no audio output when it was opened, and one has
        // appeared since: it is opened again, without a box (the sound is
        // news enough), and hears the instruments chosen meanwhile.
        if (news == PortNews::Ready)
            openDeviceZeroQuietly();
        if (news == PortNews::Back || news == PortNews::Ready)
            sendSettingsAgain();
        if (const int back = output_.lostDeviceBack(); back >= 0)
            reopenLostDevice(back);
        followDevice();
    });
}

void MidiPort::reopenLostDevice(int device)
{
    // The device chosen is back: it takes over from device 0, without a
    // box, and hears what is in force. Should it fail to open after all,
    // device 0 opens again and plays on, as the chosen device.
    awaited_.clear();
    if (output_.open(device)) {
        currentDevice_ = device;
        result_ = 0;
    } else {
        openDeviceZeroQuietly();
    }
    sendSettingsAgain();
}

void MidiPort::openDeviceZeroQuietly()
{
    output_.beginOpen(0, [this](bool opened) { result_ = opened ? 0 : kFailed; });
}

void MidiPort::sendSettingsAgain()
{
    for (int channel = 0; channel < midi::kChannelCount; ++channel) {
        const auto& values = controllers_[static_cast<std::size_t>(channel)];
        for (int controller = 0; controller < midi::kAllSoundOff; ++controller)
            if (values[static_cast<std::size_t>(controller)] >= 0)
                sendShortMessage(
                    midi::kControlChange + channel, controller, values[static_cast<std::size_t>(controller)]);
        if (programs_[static_cast<std::size_t>(channel)] >= 0)
            sendShortMessage(midi::kProgramChange + channel, programs_[static_cast<std::size_t>(channel)], 0);
    }
}

void MidiPort::openMidiOut()
{
    // The output may take its time (the built-in synthesizer loads its
    // SoundFont); what is sent meanwhile is held by the output and played
    // once the device is open. The warning comes when the open has failed.
    output_.beginOpen(0, [this](bool opened) {
        result_ = opened ? 0 : kFailed;
        if (!opened)
            warn(kOpenFailedText);
    });
}

void MidiPort::fallBackWhenLost(std::function<void()> resetSettings)
{
    output_.setDeviceLostHandler([this, reset = std::move(resetSettings)] {
        awaited_ = currentDevice_ > 0 ? output_.deviceName(currentDevice_) : std::string();
        output_.close();
        currentDevice_ = kDefaultDevice;
        output_.beginOpen(0, [this](bool opened) {
            result_ = opened ? 0 : kFailed;
            warn(opened ? kDeviceLostText : kDeviceLostSilentText);
        });
        if (reset)
            reset();
    });
}

bool MidiPort::openMidiOutDevice(int device)
{
    output_.forgetLostDevice();
    awaited_.clear();
    const bool opened = output_.open(device);
    result_ = opened ? 0 : kFailed;
    return opened;
}

void MidiPort::closeMidiOut()
{
    output_.forgetLostDevice();
    awaited_.clear();
    output_.close();
    result_ = 0;
}

std::string MidiPort::chosenDeviceName() const
{
    if (!awaited_.empty())
        return awaited_;
    return output_.deviceName(currentDevice_ == kDefaultDevice ? 0 : currentDevice_);
}

void MidiPort::refreshDevices()
{
    output_.refresh();
}

int MidiPort::midiOutCount() const
{
    return output_.deviceCount();
}

std::string MidiPort::midiOutName(int device) const
{
    return output_.deviceName(device);
}

void MidiPort::sendShortMessage(int status, int data1, int data2)
{
    if (data1 < 0 || data1 > midi::kMaxDataByte)
        return;
    const int type = status & midi::kStatusTypeMask;
    const auto channel = static_cast<std::size_t>(status & midi::kChannelMask);
    if (type == midi::kProgramChange)
        programs_[channel] = data1;
    else if (type == midi::kControlChange && data1 == midi::kResetAllControllers)
        controllers_[channel].fill(-1);
    else if (type == midi::kControlChange && data1 < midi::kAllSoundOff && data2 >= 0 && data2 <= midi::kMaxDataByte)
        controllers_[channel][static_cast<std::size_t>(data1)] = static_cast<std::int8_t>(data2);
    result_ = output_.send(midi::packShortMessage(status, data1, data2)) ? 0 : kFailed;
}

void MidiPort::warn(const std::string& text)
{
    platform_.messageBox(MessageIcon::Exclamation, kWarningTitle, text);
}

void MidiPort::allSoundOff()
{
    for (int channel = 0; channel < midi::kChannelCount; ++channel)
        sendShortMessage(midi::kControlChange + channel, midi::kAllSoundOff, 0);
}

} // namespace clavora::sound
