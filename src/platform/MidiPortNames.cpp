#include "MidiPortNames.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace clavora {

namespace {

// The name without the " client:port" numbers RtMidi puts at the end of an
// ALSA port's name; the name itself when it has none.
std::string withoutPortNumbers(const std::string& name)
{
    const auto digits = [](std::string_view text) {
        return !text.empty() && std::ranges::all_of(text, [](unsigned char c) { return std::isdigit(c) != 0; });
    };
    const std::size_t space = name.rfind(' ');
    const std::size_t colon = name.rfind(':');
    if (space == std::string::npos || colon == std::string::npos || colon < space)
        return name;
    const std::string_view numbers(name);
    if (!digits(numbers.substr(space + 1, colon - space - 1)) || !digits(numbers.substr(colon + 1)))
        return name;
    return name.substr(0, space);
}

} // namespace

int findMidiPort(const std::vector<std::string>& listed, const std::string& name)
{
    const auto exact = std::ranges::find(listed, name);
    if (exact != listed.end())
        return static_cast<int>(exact - listed.begin());
    const std::string bare = withoutPortNumbers(name);
    if (bare == name)
        return -1;
    const auto moved = std::ranges::find_if(
        listed, [&](const std::string& other) { return other != bare && withoutPortNumbers(other) == bare; });
    return moved == listed.end() ? -1 : static_cast<int>(moved - listed.begin());
}

void PortFollower::connected(unsigned portChanges)
{
    left_ = false;
    seen_ = portChanges;
}

void PortFollower::disconnected(unsigned portChanges)
{
    left_ = true;
    seen_ = portChanges;
}

PortNews PortFollower::look(const std::string& name, std::optional<unsigned> portChanges, const Device& device)
{
    if (portChanges) {
        if (*portChanges == seen_)
            return PortNews::None;
        seen_ = *portChanges;
    }
    const std::vector<std::string> names = device.portNames();
    const int index = findMidiPort(names, name);
    if (!left_) {
        if (index >= 0)
            return PortNews::None;
        left_ = true;
        device.disconnect();
        return PortNews::Gone;
    }
    if (index < 0 || !device.reconnect(index, names[static_cast<std::size_t>(index)]))
        return PortNews::None;
    left_ = false;
    return PortNews::Back;
}

} // namespace clavora
