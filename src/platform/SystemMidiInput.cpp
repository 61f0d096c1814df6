#include "SystemMidiInput.h"
#include "LibraryMessages.h"
#include "SystemMidiOutput.h"

#include <rtmidi/RtMidi.h>

#include <exception>
#include <utility>

namespace clavora {

namespace {

constexpr RtMidi::Api kApis[] = {RtMidi::LINUX_ALSA, RtMidi::UNIX_JACK};

// A client of the back-end, or null when the service is absent (RtMidi's
// constructor throws then) or, for JACK, when no server runs (RtMidi never
// starts one, but asking is quicker than letting it try).
std::unique_ptr<RtMidiIn> makeClient(RtMidi::Api api)
{
    if (api == RtMidi::UNIX_JACK ? !jackServerRuns() : !alsaSequencerAnswers())
        return nullptr;
    routeLibraryMessages();
    try {
        return std::make_unique<RtMidiIn>(api, SystemMidiInput::kClientName);
    } catch (const std::exception&) {
        return nullptr;
    }
}

// A port of this program: its own output port must not be played back into
// it. JACK renames a second client of the same name "Clavora-01".
bool isOwnPort(const std::string& name)
{
    const std::string client = SystemMidiInput::kClientName;
    return name.starts_with(client + ":") || name.starts_with(client + "-");
}

} // namespace

SystemMidiInput::SystemMidiInput()
    : queue_([this](std::uint32_t message) { deliver(message); })
{
}

SystemMidiInput::~SystemMidiInput()
{
    close();
}

void SystemMidiInput::refresh()
{
    listed_ = false;
    list();
}

void SystemMidiInput::list() const
{
    if (listed_)
        return;
    sources_.clear();
    int ours = -1;
    for (const RtMidi::Api api : kApis) {
        const std::unique_ptr<RtMidiIn> client = makeClient(api);
        if (!client)
            continue;
        if (ours < 0)
            ours = api;
        const unsigned int count = client->getPortCount();
        for (unsigned int i = 0; i < count; ++i) {
            // Our own ports are left out: the input port is offered once,
            // last, under its own name.
            const std::string name = client->getPortName(i);
            if (!isOwnPort(name))
                sources_.push_back({api, name, false});
        }
    }
    if (ours >= 0)
        sources_.push_back({ours, kVirtualName, true});
    listed_ = true;
}

int SystemMidiInput::sourceCount() const
{
    list();
    return static_cast<int>(sources_.size());
}

std::string SystemMidiInput::sourceName(int source) const
{
    list();
    return source >= 0 && source < sourceCount() ? sources_[static_cast<std::size_t>(source)].name : std::string();
}

bool SystemMidiInput::open(int source)
{
    close();
    return source >= 0 && source < sourceCount() && attach(sources_[static_cast<std::size_t>(source)], false);
}

bool SystemMidiInput::attach(const Source& wanted, bool waitForPort)
{
    in_ = makeClient(static_cast<RtMidi::Api>(wanted.api));
    if (!in_)
        return false;
    if (wanted.api == RtMidi::UNIX_JACK && !watch_.start()) {
        close();
        return false;
    }
    failed_ = false;
    in_->setErrorCallback(
        [](RtMidiError::Type type, const std::string&, void* self) {
            if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING)
                static_cast<SystemMidiInput*>(self)->failed_ = true;
        },
        this);
    // Runs on the back-end's own thread: the queue takes it from there.
    in_->setCallback([](double, std::vector<unsigned char>* message,
                         void* queue) { static_cast<MidiInputQueue*>(queue)->push(message->data(), message->size()); },
        &queue_);
    in_->ignoreTypes(true, true, true);
    if (wanted.ours) {
        try {
            in_->openVirtualPort(kPortName);
        } catch (const std::exception&) {
            failed_ = true;
        }
        openName_ = wanted.name;
    } else {
        // The port may have moved since the list was read: it is found by
        // name, and it may have gone.
        const std::vector<std::string> names = portNames();
        const int index = findMidiPort(names, wanted.name);
        if (index >= 0 && connect(index, names[static_cast<std::size_t>(index)])) {
            follower_.connected(watch_.portChanges());
        } else if (waitForPort && index < 0) {
            openName_ = wanted.name;
            follower_.disconnected(watch_.portChanges());
        } else {
            failed_ = true;
        }
    }
    if (failed_) {
        close();
        return false;
    }
    openOurs_ = wanted.ours;
    return true;
}

std::vector<std::string> SystemMidiInput::portNames() const
{
    std::vector<std::string> names;
    try {
        const unsigned int count = in_->getPortCount();
        for (unsigned int index = 0; index < count; ++index)
            names.push_back(in_->getPortName(index));
    } catch (const std::exception&) {
    }
    return names;
}

bool SystemMidiInput::connect(int index, const std::string& name)
{
    failed_ = false;
    try {
        in_->openPort(static_cast<unsigned int>(index), kPortName);
    } catch (const std::exception&) {
        return false;
    }
    openName_ = name;
    return !failed_;
}

PortNews SystemMidiInput::checkSource()
{
    if (!in_)
        return awaited_ ? lookForServer() : PortNews::None;
    if (watch_.serverGone()) {
        const Source lost {RtMidi::UNIX_JACK, openName_, openOurs_};
        close();
        awaited_ = lost;
        lostAt_ = std::chrono::steady_clock::now();
        return PortNews::Gone;
    }
    if (openOurs_)
        return PortNews::None;
    const auto changes = watch_.watching() ? std::optional(watch_.portChanges()) : std::nullopt;
    return follower_.look(openName_, changes,
        {[this] { return portNames(); }, [this] { in_->closePort(); },
            [this](int index, const std::string& found) {
                if (connect(index, found))
                    return true;
                in_->closePort();
                return false;
            }});
}

PortNews SystemMidiInput::lookForServer()
{
    if (!jackServerMayBeBack(lostAt_))
        return PortNews::None;
    const Source awaited = *std::exchange(awaited_, std::nullopt);
    if (!attach(awaited, true)) {
        awaited_ = awaited; // still awaited
        return PortNews::None;
    }
    return follower_.isWaiting() ? PortNews::None : PortNews::Back;
}

void SystemMidiInput::close()
{
    // The watch's last question finds out a server that stopped unnoticed.
    const bool dead = watch_.stop();
    if (in_ && dead) {
        abandonDeadJackClient(in_.release());
    } else if (in_) {
        in_->cancelCallback();
        in_->closePort();
        in_.reset();
    }
    queue_.clear();
    openName_.clear();
    openOurs_ = false;
    follower_ = {};
    awaited_.reset();
}

int SystemMidiInput::openSource() const
{
    if (!in_)
        return -1;
    list();
    for (std::size_t i = 0; i < sources_.size(); ++i)
        if (sources_[i].ours == openOurs_ && sources_[i].name == openName_)
            return static_cast<int>(i);
    return -1;
}

} // namespace clavora
