#pragma once
// The MIDI outputs of this computer: the built-in synthesizer as device 0,
// then every MIDI output port of the system, then, where the system can make
// one, a virtual port named "Clavora" that other programs record from.
#include "MidiOutput.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QObject;

namespace clavora {

class FluidSynthDevice;
class JackServerWatch;

// The system's MIDI output ports (the ALSA sequencer on Linux), one open at
// a time.
class MidiPorts {
public:
    virtual ~MidiPorts() = default;

    // Names of the ports present now, in the system's order.
    virtual std::vector<std::string> portNames() = 0;
    // Opens the port at this index of portNames(). False when it cannot.
    virtual bool openPort(int index) = 0;
    // Whether a port of our own can be offered, which other programs (a
    // sequencer, a DAW) connect to and record from.
    virtual bool canOpenVirtual() { return false; }
    virtual bool openVirtualPort() { return false; }
    // Closes the port open, ours included.
    virtual void closePort() = 0;
    // Sends one complete message. False when the port refused it.
    virtual bool sendBytes(const std::vector<std::uint8_t>& bytes) = 0;
    // `onGone` is called, on any thread, when the server of the port open
    // stops; it must only pass the news on.
    virtual void setOnServerGone(std::function<void()> onGone) { static_cast<void>(onGone); }
    // What became of the port open by openPort() since it was last looked
    // at (see MidiOutput::checkDevice).
    virtual PortNews checkPort() { return PortNews::None; }

    // The ports RtMidi finds; none when the system has no MIDI service.
    static std::unique_ptr<MidiPorts> createSystem();
};

// Whether the ALSA sequencer can be opened, asked before RtMidi is: its
// constructor prints its failure on the standard error stream itself.
bool alsaSequencerAnswers();

// The bytes of a packed short message as they go on the wire: two for a
// program change or channel pressure, three for the others. Empty when the
// message is not a channel message with data bytes 0..127.
std::vector<std::uint8_t> shortMessageBytes(std::uint32_t message);
// The number of those bytes, 0 for what is not such a message; the same
// check without building the bytes.
int shortMessageLength(std::uint32_t message);

class SystemMidiOutput final : public MidiOutput {
public:
    static constexpr int kSynthDevice = 0;
    static constexpr int kMaxNameLength = 32;
    static constexpr const char* kSynthName = "Built-in Synthesizer";
    static constexpr const char* kVirtualName = "Virtual port \"Clavora\"";

    // The FluidSynth synthesizer configured from the environment and the
    // ports RtMidi finds, listed when they are first asked for.
    SystemMidiOutput();
    // `ports` may be null: device 0 is then the only device.
    SystemMidiOutput(std::unique_ptr<FluidSynthDevice> synth, std::unique_ptr<MidiPorts> ports);
    ~SystemMidiOutput() override;
    SystemMidiOutput(const SystemMidiOutput&) = delete;
    SystemMidiOutput& operator=(const SystemMidiOutput&) = delete;

    // Reads the list of ports again; deviceCount() and deviceName() answer
    // from the list read by the last refresh (or by the constructor, or
    // when first asked).
    void refresh() override;

    int deviceCount() const override;
    // At most kMaxNameLength characters.
    std::string deviceName(int device) const override;
    bool open(int device) override;
    void close() override;
    bool isOpen() const override;
    bool send(std::uint32_t message) override;
    bool loadDeferred() override;
    void setDeviceLostHandler(std::function<void()> lost) override;
    PortNews checkDevice() override;
    // Our own port, or another program's port, whose JACK server stopped
    // under it is waited for: once a server runs again, a port-less client
    // hears the ports come and go on it, and the list is read again at
    // each change until the port is in it.
    int lostDeviceBack() override;
    void forgetLostDevice() override;

    FluidSynthDevice& synthesizer() { return *synth_; }

private:
    bool isVirtual(int device) const { return hasVirtual_ && device == deviceCount() - 1; }
    // Passes on, to the event loop, the news that a server stopped.
    void watchServers();
    // Tells the device-lost handler, from the event loop, unless another
    // device has been opened since. The port open is waited for when it was
    // its server that stopped.
    void passOnLoss(bool skipJack, bool portLost);

    std::unique_ptr<FluidSynthDevice> synth_;
    std::unique_ptr<MidiPorts> ports_;
    // Reads the list of ports, unless it has been read already.
    void list() const;

    // Listed on first need by the default constructor's output, so that
    // opening the synthesizer never waits for the system's MIDI services.
    mutable std::vector<std::string> portNames_;
    mutable bool hasVirtual_ = false;
    mutable bool listed_ = false;
    int openDevice_ = -1;
    std::string openPortName_; // of another program's port open, as listed
    // The last open was the synthesizer's, and it found no audio output.
    bool synthFailed_ = false;
    // Counts opens and closes, so that the news of a server that stopped
    // under an earlier device is not taken for the open one's.
    std::atomic<unsigned> generation_ = 0;
    std::function<void()> lost_;
    std::unique_ptr<QObject> context_;

    // The port lost with its JACK server, by name, until it is back.
    struct LostPort {
        std::string name; // another program's, as listed; empty for ours
        std::chrono::steady_clock::time_point since; // the last server stopped
    };
    std::optional<LostPort> lostPort_;
    std::unique_ptr<JackServerWatch> lostWatch_;
    std::optional<unsigned> lookedAt_; // the watch's port changes at the last look
};

} // namespace clavora
