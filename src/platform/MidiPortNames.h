#pragma once
// Finding a MIDI port of the system again by its name.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace clavora {

// What became of another program's MIDI port since it was last looked at:
// Gone once, when it has left (a keyboard or synthesizer unplugged, its
// program ended); Back once, when a port of its name is there again and has
// been opened anew. Ready, when nothing is open, once a device whose open
// failed may open now (a sound server it lacked has appeared).
enum class PortNews { None, Gone, Back, Ready };

// Where the port of that name is among those listed: the same name first;
// failing that, an ALSA port of the same name under other client and port
// numbers ("Keys:Keys MIDI 1 24:0" and "Keys:Keys MIDI 1 28:0"), which a
// device plugged in again may be given. -1 when there is none.
int findMidiPort(const std::vector<std::string>& listed, const std::string& name);

// Follows another program's port that a device of ours is connected to:
// notices when it has gone and connects again when it is back.
class PortFollower {
public:
    // What look() does to the device.
    struct Device {
        std::function<std::vector<std::string>()> portNames; // the ports there now
        std::function<void()> disconnect;
        // Connects to the port at that index of the names read, of that
        // name; false when it cannot, having undone what it did.
        std::function<bool(int index, const std::string& found)> reconnect;
    };

    // The device has just been connected. `portChanges` as for look().
    void connected(unsigned portChanges = 0);
    // The device has just been made without its port, which is waited for
    // from now on as one that left.
    void disconnected(unsigned portChanges);
    bool isWaiting() const { return left_; }
    // What became of the port of that name since the last look. Where the
    // server counts the ports that come and go (JACK), `portChanges` is that
    // count, and the ports are read only when it has moved; elsewhere they
    // are read at every look.
    PortNews look(const std::string& name, std::optional<unsigned> portChanges, const Device& device);

private:
    bool left_ = false;
    unsigned seen_ = 0;
};

} // namespace clavora
