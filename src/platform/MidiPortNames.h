#pragma once
// Finding a MIDI port of the system again by its name.
#include <string>
#include <vector>

namespace clavora {

// What became of another program's MIDI port since it was last looked at:
// Gone once, when it has left (a keyboard or synthesizer unplugged, its
// program ended); Back once, when a port of its name is there again and has
// been opened anew.
enum class PortNews { None, Gone, Back };

// Where the port of that name is among those listed: the same name first;
// failing that, an ALSA port of the same name under other client and port
// numbers ("Keys:Keys MIDI 1 24:0" and "Keys:Keys MIDI 1 28:0"), which a
// device plugged in again may be given. -1 when there is none.
int findMidiPort(const std::vector<std::string>& listed, const std::string& name);

} // namespace clavora
