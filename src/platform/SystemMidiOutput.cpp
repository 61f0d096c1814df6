#include "SystemMidiOutput.h"
#include "FluidSynthDevice.h"
#include "JackServer.h"
#include "LibraryMessages.h"
#include "MidiConstants.h"

#include <QObject>
#include <QString>

#include <alsa/asoundlib.h>
#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <exception>
#include <tuple>

namespace clavora {

namespace {

constexpr const char* kClientName = "Clavora";

// One RtMidi back-end (the ALSA sequencer or JACK). RtMidi reports errors
// through the callback installed here instead of printing and throwing; only
// its constructor still throws (when there is no such MIDI service at all).
//
// RtMidi gives no access to its JACK client and would call into it after its
// server has stopped, which crashes: while a JACK port is open a watch of our
// own hears the server stop, and a client on a stopped server is given up
// without another call into it.
class RtMidiApi {
public:
    explicit RtMidiApi(RtMidi::Api api)
        : api_(api)
    {
        if (api_ == RtMidi::UNIX_JACK)
            watch_ = std::make_unique<JackServerWatch>(JackServerWatch::Cycles::Followed);
    }

    ~RtMidiApi() { reset(); }

    // Told, on a thread of JACK's, when the server of an open port stops.
    void setOnServerGone(std::function<void()> onGone)
    {
        if (watch_)
            watch_->setOnGone(std::move(onGone));
    }

    // The back-end's client, made on first use; null when the service is absent.
    RtMidiOut* out()
    {
        if (!out_) {
            if (api_ == RtMidi::UNIX_JACK ? !jackServerRuns() : !alsaSequencerAnswers())
                return nullptr;
            try {
                out_ = std::make_unique<RtMidiOut>(api_, kClientName);
                out_->setErrorCallback(&RtMidiApi::onError, this);
            } catch (const std::exception&) {
                out_.reset();
            }
        }
        return out_.get();
    }

    std::vector<std::string> portNames()
    {
        std::vector<std::string> names;
        RtMidiOut* port = out();
        if (!port)
            return names;
        const unsigned int count = port->getPortCount();
        for (unsigned int i = 0; i < count; ++i)
            names.push_back(port->getPortName(i));
        return names;
    }

    bool openPort(int index)
    {
        return openWith([index](RtMidiOut& port) {
            port.openPort(static_cast<unsigned int>(index), kClientName);
            return port.isPortOpen();
        });
    }

    // A port of our own that other programs connect to and record from.
    bool openVirtualPort()
    {
        return openWith([](RtMidiOut& port) {
            port.openVirtualPort(kClientName);
            return true;
        });
    }

    bool send(const std::vector<std::uint8_t>& bytes)
    {
        if (!out_ || serverGone())
            return false;
        failed_ = false;
        try {
            out_->sendMessage(bytes.data(), bytes.size());
        } catch (const std::exception&) {
            return false;
        }
        return !failed_;
    }

    // Closes the client and with it the port open. A virtual port goes
    // only with its client; another program's port is closed the same way,
    // so that nothing of ours stays behind on the MIDI system.
    void reset()
    {
        // The watch's last question finds out a server that stopped unnoticed.
        // RtMidi frees the buffer of a JACK output before it closes the client
        // whose cycles read that buffer: the port is closed first, and a cycle
        // still reading is waited out.
        const bool dead = watch_ && watch_->stop([this] {
            if (out_)
                out_->closePort();
        });
        if (out_ && dead)
            abandonDeadJackClient(out_.release());
        out_.reset();
    }

    bool serverGone() const { return watch_ && watch_->serverGone(); }

    // What became of the port of that name, open on this client, since it
    // was last looked at. On JACK the server says when ports come or go, and
    // only then is it asked.
    PortNews follow(const std::string& name)
    {
        if (!out_ || serverGone())
            return PortNews::None;
        const auto changes = watch_ ? std::optional(watch_->portChanges()) : std::nullopt;
        return follower_.look(name, changes,
            {[this] { return portNames(); }, [this] { out_->closePort(); },
                [this](int index, const std::string&) {
                    failed_ = false;
                    try {
                        out_->openPort(static_cast<unsigned int>(index), kClientName);
                    } catch (const std::exception&) {
                        failed_ = true;
                    }
                    if (!failed_ && out_->isPortOpen())
                        return true;
                    out_->closePort();
                    return false;
                }});
    }

private:
    // Opens a port with `action`, reporting errors from the callback or a
    // throw alike. A client that failed to open a port is closed.
    template <typename Action> bool openWith(Action action)
    {
        RtMidiOut* port = out();
        if (!port)
            return false;
        // Watched before the port is made, so that a port made in vain is
        // closed as any other.
        if (watch_ && !watch_->start()) {
            reset();
            return false;
        }
        failed_ = false;
        bool opened = false;
        try {
            opened = action(*port);
        } catch (const std::exception&) {
            failed_ = true;
        }
        if (!opened || failed_) {
            reset();
            return false;
        }
        follower_.connected(watch_ ? watch_->portChanges() : 0);
        return true;
    }

    static void onError(RtMidiError::Type type, const std::string&, void* self)
    {
        if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING)
            static_cast<RtMidiApi*>(self)->failed_ = true;
    }

    RtMidi::Api api_;
    std::unique_ptr<RtMidiOut> out_;
    std::unique_ptr<JackServerWatch> watch_;
    bool failed_ = false;
    PortFollower follower_;
};

// The system's MIDI ports: the ALSA sequencer's, then JACK's when a JACK
// server runs (RtMidi never starts one). The virtual port is made by the
// ALSA sequencer when there is one, else by JACK.
class RtMidiPorts final : public MidiPorts {
public:
    void setOnServerGone(std::function<void()> onGone) override { jack_.setOnServerGone(std::move(onGone)); }

    std::vector<std::string> portNames() override
    {
        listed_.clear();
        std::vector<std::string> names;
        const bool jack = jackServerRuns();
        for (RtMidiApi* api : {&alsa_, &jack_}) {
            if (api == &jack_ && !jack)
                continue;
            const std::vector<std::string> found = api->portNames();
            for (std::size_t i = 0; i < found.size(); ++i) {
                names.push_back(found[i]);
                listed_.emplace_back(api, static_cast<int>(i), found[i]);
            }
        }
        // A client is only kept while one of its ports is open: a JACK one
        // that outlived its server could not be closed safely.
        for (RtMidiApi* api : {&alsa_, &jack_}) {
            if (api != open_)
                api->reset();
        }
        return names;
    }

    bool openPort(int index) override
    {
        if (index < 0 || static_cast<std::size_t>(index) >= listed_.size())
            return false;
        const auto [api, local, name] = listed_[static_cast<std::size_t>(index)];
        closePort();
        if (!api->openPort(local))
            return false;
        open_ = api;
        openName_ = name;
        return true;
    }

    bool canOpenVirtual() override { return alsaSequencerAnswers() || jackServerRuns(); }

    bool openVirtualPort() override
    {
        closePort();
        for (RtMidiApi* api : {&alsa_, &jack_}) {
            if (api == &jack_ && !jackServerRuns())
                continue;
            if (api->openVirtualPort()) {
                open_ = api;
                return true;
            }
        }
        return false;
    }

    void closePort() override
    {
        if (open_)
            open_->reset();
        open_ = nullptr;
        openName_.clear();
    }

    PortNews checkPort() override { return open_ && !openName_.empty() ? open_->follow(openName_) : PortNews::None; }

    bool sendBytes(const std::vector<std::uint8_t>& bytes) override { return open_ && open_->send(bytes); }

private:
    RtMidiApi alsa_ {RtMidi::LINUX_ALSA};
    RtMidiApi jack_ {RtMidi::UNIX_JACK};
    std::vector<std::tuple<RtMidiApi*, int, std::string>> listed_;
    RtMidiApi* open_ = nullptr;
    std::string openName_; // of another program's port open
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

bool alsaSequencerAnswers()
{
    routeLibraryMessages();
    snd_seq_t* sequencer = nullptr;
    if (snd_seq_open(&sequencer, "default", SND_SEQ_OPEN_OUTPUT, SND_SEQ_NONBLOCK) < 0)
        return false;
    snd_seq_close(sequencer);
    return true;
}

std::unique_ptr<MidiPorts> MidiPorts::createSystem()
{
    return std::make_unique<RtMidiPorts>();
}

int shortMessageLength(std::uint32_t message)
{
    const int status = midi::statusOf(message);
    const int length = midi::messageLength(status);
    constexpr int kFirstSystemStatus = 0xF0;
    if (status < midi::kNoteOff || status >= kFirstSystemStatus || midi::data1Of(message) > midi::kMaxDataByte
        || (length == 3 && midi::data2Of(message) > midi::kMaxDataByte))
        return 0;
    return length;
}

std::vector<std::uint8_t> shortMessageBytes(std::uint32_t message)
{
    const int length = shortMessageLength(message);
    if (length == 0)
        return {};
    std::vector<std::uint8_t> bytes {
        static_cast<std::uint8_t>(midi::statusOf(message)), static_cast<std::uint8_t>(midi::data1Of(message))};
    if (length == 3)
        bytes.push_back(static_cast<std::uint8_t>(midi::data2Of(message)));
    return bytes;
}

SystemMidiOutput::SystemMidiOutput()
    : synth_(std::make_unique<FluidSynthDevice>())
    , ports_(MidiPorts::createSystem())
{
    watchServers();
}

SystemMidiOutput::SystemMidiOutput(std::unique_ptr<FluidSynthDevice> synth, std::unique_ptr<MidiPorts> ports)
    : synth_(std::move(synth))
    , ports_(std::move(ports))
{
    watchServers();
    refresh();
}

SystemMidiOutput::~SystemMidiOutput()
{
    close();
    // Nothing is heard of the servers after this.
    synth_->setOnServerGone(nullptr);
    if (ports_)
        ports_->setOnServerGone(nullptr);
}

void SystemMidiOutput::watchServers()
{
    context_ = std::make_unique<QObject>();
    // Device 0, which takes over, waits for the next choice to play through
    // JACK again; a port is waited for.
    synth_->setOnServerGone([this] { passOnLoss(true, false); });
    if (ports_)
        ports_->setOnServerGone([this] { passOnLoss(true, true); });
}

void SystemMidiOutput::passOnLoss(bool skipJack, bool portLost)
{
    QMetaObject::invokeMethod(
        context_.get(),
        [this, skipJack, portLost, generation = generation_.load()] {
            if (generation != generation_ || !lost_)
                return;
            if (skipJack)
                synth_->skipJackOnce();
            if (portLost && openDevice_ > kSynthDevice) {
                forgetLostDevice();
                lostPort_ = LostPort {openPortName_, std::chrono::steady_clock::now()};
            }
            lost_();
        },
        Qt::QueuedConnection);
}

int SystemMidiOutput::lostDeviceBack()
{
    if (!lostPort_)
        return -1;
    if (!lostWatch_) {
        if (!jackServerMayBeBack(lostPort_->since))
            return -1;
        lostWatch_ = std::make_unique<JackServerWatch>();
        if (!lostWatch_->start()) {
            lostWatch_.reset();
            return -1;
        }
        lookedAt_.reset();
    }
    if (lostWatch_->serverGone()) {
        // Stopped again before the port was back.
        lostWatch_.reset();
        lostPort_->since = std::chrono::steady_clock::now();
        return -1;
    }
    if (lookedAt_ == lostWatch_->portChanges())
        return -1;
    lookedAt_ = lostWatch_->portChanges();
    refresh();
    int device = -1;
    if (lostPort_->name.empty())
        device = hasVirtual_ ? deviceCount() - 1 : -1;
    else if (const int index = findMidiPort(portNames_, lostPort_->name); index >= 0)
        device = index + 1;
    if (device > kSynthDevice)
        forgetLostDevice();
    return device;
}

void SystemMidiOutput::forgetLostDevice()
{
    lostWatch_.reset();
    lostPort_.reset();
}

void SystemMidiOutput::setDeviceLostHandler(std::function<void()> lost)
{
    lost_ = std::move(lost);
}

void SystemMidiOutput::refresh()
{
    listed_ = false;
    list();
}

void SystemMidiOutput::list() const
{
    if (listed_)
        return;
    portNames_ = ports_ ? ports_->portNames() : std::vector<std::string> {};
    hasVirtual_ = ports_ && ports_->canOpenVirtual();
    listed_ = true;
}

int SystemMidiOutput::deviceCount() const
{
    list();
    return 1 + static_cast<int>(portNames_.size()) + (hasVirtual_ ? 1 : 0);
}

std::string SystemMidiOutput::deviceName(int device) const
{
    list();
    if (device == kSynthDevice)
        return kSynthName;
    if (isVirtual(device))
        return kVirtualName;
    if (device < 1 || device >= deviceCount())
        return {};
    return shortName(portNames_[static_cast<std::size_t>(device - 1)]);
}

bool SystemMidiOutput::open(int device)
{
    close();
    ++generation_;
    if (device == kSynthDevice) {
        if (!synth_->open()) {
            synthFailed_ = true;
            return false;
        }
        openDevice_ = device;
        return true;
    }
    if (!ports_ || device < 1 || device >= deviceCount())
        return false;
    if (isVirtual(device)) {
        if (!ports_->openVirtualPort())
            return false;
        openDevice_ = device;
        return true;
    }

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
    openPortName_ = wanted;
    return true;
}

PortNews SystemMidiOutput::checkDevice()
{
    if (openDevice_ == kSynthDevice) {
        // The synthesizer's audio output: one that stopped playing plays
        // again once its server is back; a new start the server does not
        // answer loses the device.
        switch (synth_->checkOutput()) {
        case FluidSynthDevice::OutputNews::Stopped:
            return PortNews::Gone;
        case FluidSynthDevice::OutputNews::Restarted:
            return PortNews::Back;
        case FluidSynthDevice::OutputNews::GivenUp:
            passOnLoss(false, false);
            return PortNews::Gone;
        case FluidSynthDevice::OutputNews::None:
            break;
        }
        return PortNews::None;
    }
    if (openDevice_ < 0 && synthFailed_ && synth_->audioMayWork()) {
        synthFailed_ = false;
        return PortNews::Ready;
    }
    return ports_ ? ports_->checkPort() : PortNews::None;
}

void SystemMidiOutput::close()
{
    if (openDevice_ == kSynthDevice)
        synth_->close();
    else if (openDevice_ > 0 && ports_)
        ports_->closePort();
    openDevice_ = -1;
    openPortName_.clear();
    synthFailed_ = false;
    ++generation_;
}

bool SystemMidiOutput::isOpen() const
{
    return openDevice_ >= 0;
}

bool SystemMidiOutput::send(std::uint32_t message)
{
    // The synthesizer takes the packed message as it is: a key press costs
    // no allocation on its way there.
    if (openDevice_ < 0 || shortMessageLength(message) == 0)
        return false;
    if (openDevice_ == kSynthDevice)
        return synth_->send(message);
    return ports_->sendBytes(shortMessageBytes(message));
}

bool SystemMidiOutput::loadDeferred()
{
    return openDevice_ == kSynthDevice && synth_->loadDeferred();
}

} // namespace clavora
