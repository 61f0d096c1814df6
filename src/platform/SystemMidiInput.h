#pragma once
// The MIDI sources of this computer, read through RtMidi: the ALSA
// sequencer's ports, JACK's MIDI outputs when a JACK server runs, then an
// input port of Clavora's own ("Clavora In") that any controller or
// sequencer can be connected to.
#include "JackServer.h"
#include "MidiInput.h"
#include "MidiInputQueue.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class RtMidiIn;

namespace clavora {

class SystemMidiInput final : public MidiInput {
public:
    static constexpr const char* kVirtualName = "Virtual port \"Clavora In\"";
    static constexpr const char* kClientName = "Clavora";
    static constexpr const char* kPortName = "Clavora In";

    // Reads the list of sources when first asked for it.
    SystemMidiInput();
    ~SystemMidiInput() override;
    SystemMidiInput(const SystemMidiInput&) = delete;
    SystemMidiInput& operator=(const SystemMidiInput&) = delete;

    void refresh() override;
    int sourceCount() const override;
    std::string sourceName(int source) const override;
    bool open(int source) override;
    void close() override;
    int openSource() const override;
    std::string openSourceName() const override { return in_ ? openName_ : awaited_ ? awaited_->name : std::string(); }
    // Looks for the open source by name among the ports of the open client.
    // A source that left is waited for: a port of its name is opened again.
    // Once the JACK server under it has stopped, the input closes (Gone),
    // and the server is waited for: when one runs again (a second after the
    // loss at the earliest), the input opens on it and the source is waited
    // for as one that left, Back once it is there.
    PortNews checkSource() override;

private:
    struct Source {
        int api; // RtMidi::Api
        std::string name;
        bool ours;
    };
    void list() const;
    // Opens a client of the source's back-end on it. A port of another
    // program that is not there is an error, unless `waitForPort`: it is
    // then waited for as one that left.
    bool attach(const Source& wanted, bool waitForPort);
    PortNews lookForServer();
    // Connects the open client to the port at that index of portNames(),
    // which becomes the source open. False when the connection fails.
    bool connect(int index, const std::string& name);
    // The ports of the open client; none when it cannot tell.
    std::vector<std::string> portNames() const;

    MidiInputQueue queue_;
    std::unique_ptr<RtMidiIn> in_;
    // Hears the JACK server of an open JACK source stop: its client must
    // then be given up, never closed.
    JackServerWatch watch_;
    mutable std::vector<Source> sources_;
    mutable bool listed_ = false;
    // What is open, found again by name in a list read since.
    std::string openName_;
    bool openOurs_ = false;
    bool failed_ = false;
    PortFollower follower_;
    // The JACK source whose server stopped under it, until the server is
    // back; and when it stopped.
    std::optional<Source> awaited_;
    std::chrono::steady_clock::time_point lostAt_;
};

} // namespace clavora
