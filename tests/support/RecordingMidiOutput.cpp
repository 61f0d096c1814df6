#include "RecordingMidiOutput.h"
#include "platform/MidiConstants.h"

#include <cstdio>

namespace clavora {

RecordingMidiOutput::RecordingMidiOutput(std::vector<std::string> names)
    : names_(std::move(names))
{
}

int RecordingMidiOutput::deviceCount() const
{
    return static_cast<int>(names_.size());
}

std::string RecordingMidiOutput::deviceName(int device) const
{
    if (device < 0 || device >= deviceCount())
        return {};
    return names_[static_cast<std::size_t>(device)];
}

bool RecordingMidiOutput::open(int device)
{
    log_.push_back("open " + std::to_string(device));
    if (device < 0 || device >= deviceCount() || failing_.count(device)) {
        open_ = -1;
        return false;
    }
    open_ = device;
    return true;
}

void RecordingMidiOutput::close()
{
    log_.push_back("close");
    open_ = -1;
}

bool RecordingMidiOutput::isOpen() const
{
    return open_ >= 0;
}

bool RecordingMidiOutput::send(std::uint32_t message)
{
    if (open_ < 0)
        return false;
    const Message m {open_, midi::statusOf(message), midi::data1Of(message), midi::data2Of(message)};
    messages_.push_back(m);
    char text[16];
    std::snprintf(text, sizeof text, "%02X %02X %02X", m.status, m.data1, m.data2);
    log_.push_back(text);
    return true;
}

} // namespace clavora
