#include "SystemMidiOutput.h"
#include "FluidSynthDevice.h"
#include "MidiConstants.h"

#include <QString>

#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <exception>

namespace clavora {

namespace {

constexpr const char* kClientName = "Clavora";

// RtMidi output ports. RtMidi reports errors through the callback installed
// here instead of printing and throwing; only its constructor still throws
// (when there is no MIDI service at all).
class RtMidiPorts final : public MidiPorts {
public:
    RtMidiPorts() { create(); }

    ~RtMidiPorts() override
    {
        StderrSilence quiet;
        out_.reset();
    }

    std::vector<std::string> portNames() override
    {
        StderrSilence quiet;
        if (!out_)
            create();
        std::vector<std::string> names;
        if (!out_)
            return names;
        const unsigned int count = out_->getPortCount();
        for (unsigned int i = 0; i < count; ++i)
            names.push_back(out_->getPortName(i));
        return names;
    }

    bool openPort(int index) override
    {
        if (!out_ || index < 0)
            return false;
        StderrSilence quiet;
        closePort();
        failed_ = false;
        try {
            out_->openPort(static_cast<unsigned int>(index), kClientName);
        } catch (const std::exception&) {
            return false;
        }
        if (failed_ && out_->isPortOpen())
            out_->closePort();
        return out_->isPortOpen();
    }

    void closePort() override
    {
        if (out_ && out_->isPortOpen())
            out_->closePort();
    }

    bool sendBytes(const std::vector<std::uint8_t>& bytes) override
    {
        if (!out_ || !out_->isPortOpen())
            return false;
        failed_ = false;
        try {
            out_->sendMessage(bytes.data(), bytes.size());
        } catch (const std::exception&) {
            return false;
        }
        return !failed_;
    }

private:
    void create()
    {
        StderrSilence quiet;
        try {
            out_ = std::make_unique<RtMidiOut>(RtMidi::UNSPECIFIED, kClientName);
            out_->setErrorCallback(&RtMidiPorts::onError, this);
        } catch (const std::exception&) {
            out_.reset();
        }
    }

    static void onError(RtMidiError::Type type, const std::string&, void* self)
    {
        if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING)
            static_cast<RtMidiPorts*>(self)->failed_ = true;
    }

    std::unique_ptr<RtMidiOut> out_;
    bool failed_ = false;
};

// Cuts a name to at most kMaxNameLength characters, never inside one.
std::string shortName(const std::string& name)
{
    QString text = QString::fromStdString(name);
    if (text.size() <= SystemMidiOutput::kMaxNameLength)
        return name;
    qsizetype length = SystemMidiOutput::kMaxNameLength;
    if (text.at(length - 1).isHighSurrogate())
        --length;
    text.truncate(length);
    return text.toStdString();
}

} // namespace

std::unique_ptr<MidiPorts> MidiPorts::createSystem()
{
    return std::make_unique<RtMidiPorts>();
}

std::vector<std::uint8_t> shortMessageBytes(std::uint32_t message)
{
    const int status = midi::statusOf(message);
    const int data1 = midi::data1Of(message);
    const int data2 = midi::data2Of(message);
    const int length = midi::messageLength(status);
    constexpr int kFirstSystemStatus = 0xF0;
    if (status < midi::kNoteOff || status >= kFirstSystemStatus || data1 > midi::kMaxDataByte
        || (length == 3 && data2 > midi::kMaxDataByte))
        return {};
    std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(status), static_cast<std::uint8_t>(data1)};
    if (length == 3)
        bytes.push_back(static_cast<std::uint8_t>(data2));
    return bytes;
}

SystemMidiOutput::SystemMidiOutput()
    : SystemMidiOutput(std::make_unique<FluidSynthDevice>(), MidiPorts::createSystem())
{
}

SystemMidiOutput::SystemMidiOutput(std::unique_ptr<FluidSynthDevice> synth, std::unique_ptr<MidiPorts> ports)
    : synth_(std::move(synth))
    , ports_(std::move(ports))
{
    refresh();
}

SystemMidiOutput::~SystemMidiOutput()
{
    close();
}

void SystemMidiOutput::refresh()
{
    portNames_ = ports_ ? ports_->portNames() : std::vector<std::string>{};
}

int SystemMidiOutput::deviceCount() const
{
    return 1 + static_cast<int>(portNames_.size());
}

std::string SystemMidiOutput::deviceName(int device) const
{
    if (device == kSynthDevice)
        return kSynthName;
    if (device < 1 || device >= deviceCount())
        return {};
    return shortName(portNames_[static_cast<std::size_t>(device - 1)]);
}

bool SystemMidiOutput::open(int device)
{
    close();
    if (device == kSynthDevice) {
        if (!synth_->open())
            return false;
        openDevice_ = device;
        return true;
    }
    if (!ports_ || device < 1 || device >= deviceCount())
        return false;

    // The port list may have changed since it was read: open the port of
    // the name listed, wherever it is now, and fail if it has gone.
    const std::string& wanted = portNames_[static_cast<std::size_t>(device - 1)];
    const std::vector<std::string> present = ports_->portNames();
    const auto listed = static_cast<std::size_t>(device - 1);
    std::ptrdiff_t index = -1;
    if (listed < present.size() && present[listed] == wanted)
        index = static_cast<std::ptrdiff_t>(listed);
    else if (const auto it = std::find(present.begin(), present.end(), wanted); it != present.end())
        index = it - present.begin();
    if (index < 0 || !ports_->openPort(static_cast<int>(index)))
        return false;
    openDevice_ = device;
    return true;
}

void SystemMidiOutput::close()
{
    if (openDevice_ == kSynthDevice)
        synth_->close();
    else if (openDevice_ > 0 && ports_)
        ports_->closePort();
    openDevice_ = -1;
}

bool SystemMidiOutput::isOpen() const
{
    return openDevice_ >= 0;
}

bool SystemMidiOutput::send(std::uint32_t message)
{
    if (openDevice_ < 0)
        return false;
    const std::vector<std::uint8_t> bytes = shortMessageBytes(message);
    if (bytes.empty())
        return false;
    if (openDevice_ == kSynthDevice)
        return synth_->send(message);
    return ports_->sendBytes(bytes);
}

} // namespace clavora
