#include "SoundCapture.h"

#include <jack/jack.h>

#if defined(HAVE_PULSE)
#include <pulse/error.h>
#include <pulse/simple.h>
#endif

#include <cstdio>
#include <thread>
#include <vector>

namespace bench {

namespace {

class JackCapture final : public SoundCapture {
public:
    explicit JackCapture(jack_client_t* client)
        : client_(client)
    {
        inputs_[0] = jack_port_register(client_, "in_1", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        inputs_[1] = jack_port_register(client_, "in_2", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        jack_set_process_callback(client_, &JackCapture::process, this);
        // Outputs are connected when ports come, not by polling the server,
        // which would slow down the very client being timed.
        jack_set_port_registration_callback(
            client_, [](jack_port_id_t, int, void* self) { static_cast<JackCapture*>(self)->portsChanged_ = true; },
            this);
        jack_activate(client_);
        connectOutputs();
    }
    ~JackCapture() override { jack_client_close(client_); }
    JackCapture(const JackCapture&) = delete;
    JackCapture& operator=(const JackCapture&) = delete;

    void poll() override
    {
        if (portsChanged_.exchange(false))
            connectOutputs();
    }

    double ownDelayMs() const override { return 0; }
    double periodMs() const override
    {
        return 1000.0 * jack_get_buffer_size(client_) / static_cast<double>(jack_get_sample_rate(client_));
    }

private:
    static int process(jack_nframes_t frames, void* self)
    {
        auto* capture = static_cast<JackCapture*>(self);
        for (jack_port_t* port : capture->inputs_)
            capture->listen(static_cast<const float*>(jack_port_get_buffer(port, frames)), frames);
        return 0;
    }

    // Every audio output of another client goes to our inputs.
    void connectOutputs()
    {
        const char** ports = jack_get_ports(client_, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
        if (!ports)
            return;
        const std::string own = std::string(jack_get_client_name(client_)) + ":";
        int n = 0;
        for (const char** p = ports; *p; ++p) {
            const std::string name = *p;
            if (name.rfind("system:", 0) == 0 || name.rfind(own, 0) == 0)
                continue;
            jack_connect(client_, *p, jack_port_name(inputs_[n++ % 2]));
        }
        jack_free(ports);
    }

    jack_client_t* client_;
    jack_port_t* inputs_[2] = {nullptr, nullptr};
    std::atomic<bool> portsChanged_ {false};
};

#if defined(HAVE_PULSE)
class PulseCapture final : public SoundCapture {
public:
    PulseCapture(pa_simple* stream, int fragmentBytes)
        : stream_(stream)
        , fragment_(static_cast<std::size_t>(fragmentBytes) / sizeof(float))
    {
        int error = 0;
        const pa_usec_t latency = pa_simple_get_latency(stream_, &error);
        ownDelayMs_ = error == 0 ? static_cast<double>(latency) / 1000.0 : -1;
        reader_ = std::thread([this] {
            std::vector<float> block(fragment_);
            int error = 0;
            while (!stop_ && pa_simple_read(stream_, block.data(), block.size() * sizeof(float), &error) == 0)
                listen(block.data(), block.size());
        });
    }
    ~PulseCapture() override
    {
        stop_ = true;
        reader_.join();
        pa_simple_free(stream_);
    }
    PulseCapture(const PulseCapture&) = delete;
    PulseCapture& operator=(const PulseCapture&) = delete;

    double ownDelayMs() const override { return ownDelayMs_; }

private:
    pa_simple* stream_;
    std::size_t fragment_;
    double ownDelayMs_ = -1;
    std::atomic<bool> stop_ {false};
    std::thread reader_;
};
#endif

} // namespace

std::unique_ptr<SoundCapture> SoundCapture::openJack(const std::string& clientName)
{
    jack_client_t* client = jack_client_open(clientName.c_str(), JackNoStartServer, nullptr);
    if (!client)
        return nullptr;
    return std::make_unique<JackCapture>(client);
}

std::unique_ptr<SoundCapture> SoundCapture::openPulse(int fragmentBytes)
{
#if defined(HAVE_PULSE)
    const pa_sample_spec spec {PA_SAMPLE_FLOAT32NE, 48000, 2};
    pa_buffer_attr attributes {};
    attributes.maxlength = static_cast<uint32_t>(-1);
    attributes.fragsize = static_cast<uint32_t>(fragmentBytes);
    attributes.tlength = attributes.prebuf = attributes.minreq = static_cast<uint32_t>(-1);
    int error = 0;
    // "@DEFAULT_MONITOR@" is the monitor of the default sink.
    pa_simple* stream = pa_simple_new(
        nullptr, "sound_probe", PA_STREAM_RECORD, "@DEFAULT_MONITOR@", "listen", &spec, nullptr, &attributes, &error);
    if (!stream) {
        std::fprintf(stderr, "PulseAudio: %s\n", pa_strerror(error));
        return nullptr;
    }
    return std::make_unique<PulseCapture>(stream, fragmentBytes);
#else
    (void)fragmentBytes;
    std::fprintf(stderr, "built without PulseAudio (install libpulse-dev)\n");
    return nullptr;
#endif
}

} // namespace bench
