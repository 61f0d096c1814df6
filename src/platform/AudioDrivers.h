#pragma once
// Which of FluidSynth's audio drivers to try, and in what order, so that the
// first try is one that can work here and no sound server is ever started.
#include <string>
#include <vector>

namespace clavora {

// What the system shows of its audio, read without opening anything.
struct AudioFacts {
    bool pulseServer = false; // a PulseAudio (or PipeWire-Pulse) server runs
    bool pipewireServer = false; // a PipeWire server runs
    bool jackServer = false; // a JACK server's socket exists
    bool alsaDevices = false; // /dev/snd exists
    bool ossDevice = false; // /dev/dsp exists

    // Looks at the servers' sockets and the device files.
    static AudioFacts ofThisSystem();
    bool operator==(const AudioFacts&) const = default;
};

// The drivers to try, best first, among those FluidSynth has (`available`):
// the servers that run and the devices that exist, then JACK and ALSA
// without them (both fail at once when they cannot work: JACK is kept from
// starting a server, ALSA may still reach a device its configuration
// names). PulseAudio without a server (its library could start one), SDL
// (it plays only for programs that set it up) and the file driver are
// never tried.
std::vector<std::string> audioDriverOrder(const std::vector<std::string>& available, const AudioFacts& facts);

// Keeps the JACK library from starting a server for this process.
void forbidStartingJackServer();

} // namespace clavora
