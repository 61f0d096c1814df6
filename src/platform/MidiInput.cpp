#include "MidiInput.h"

namespace clavora {

bool MidiInput::openNamed(const std::string& name)
{
    if (name.empty()) {
        close();
        return true;
    }
    refresh();
    std::vector<std::string> listed;
    for (int source = 0; source < sourceCount(); ++source)
        listed.push_back(sourceName(source));
    const int source = findMidiPort(listed, name);
    return source >= 0 && open(source);
}

} // namespace clavora
