#include "PulseOutput.h"
#include "FluidSynthSettings.h"
#include "QueueLevel.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <string>
#include <vector>

#if defined(__unix__)
#include <pthread.h>
#include <sched.h>
#endif

namespace clavora {

namespace {

constexpr int kChannels = 2;
constexpr std::size_t kFrameBytes = kChannels * sizeof(float);
// The stream rests after this long without sound.
constexpr double kRestAfterSeconds = 1.0;
// Below the least step of 16-bit sound: what a reverb tail fades into.
constexpr float kInaudible = 1.0F / 65536;

// A string setting, empty when unset or "default" (the server's choice).
std::string chosen(fluid_settings_t* settings, const char* name)
{
    std::string text = stringSetting(settings, name);
    return text == "default" ? std::string() : text;
}

const char* orNull(const std::string& text)
{
    return text.empty() ? nullptr : text.c_str();
}

} // namespace

struct PulseOutput::Stream {
    fluid_synth_t* synth = nullptr;
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    pa_defer_event* waking = nullptr;
    std::vector<float> period;
    std::size_t periodFrames = 0;
    std::size_t restAfterFrames = 0;
    std::size_t silentFrames = 0;
    std::size_t askedBytes = 0;
    // Touched on the loop's thread only.
    QueueLevel queue;
    int realtimePriority = 0;
    bool priorityAsked = false;
    std::atomic<bool> resting = false;
    std::atomic<bool> failed = false;
    std::atomic<bool> settled = false;
    // Counts the messages the synthesizer has taken, so that a stream never
    // comes to rest after one it has not rendered yet.
    std::atomic<unsigned> messages = 0;

    ~Stream()
    {
        if (loop && stream) {
            // The stream lets go once its server has let go of it, as
            // FluidSynth's own drivers do: a server that has stopped
            // answering holds it (the device waits for that on a thread of
            // its own, and does not start another output meanwhile).
            pa_threaded_mainloop_lock(loop);
            if (pa_stream_get_state(stream) == PA_STREAM_READY && pa_stream_disconnect(stream) == 0) {
                while (PA_STREAM_IS_GOOD(pa_stream_get_state(stream)))
                    pa_threaded_mainloop_wait(loop);
            }
            pa_threaded_mainloop_unlock(loop);
        }
        if (loop)
            pa_threaded_mainloop_stop(loop);
        if (waking)
            pa_threaded_mainloop_get_api(loop)->defer_free(waking);
        if (stream) {
            pa_stream_disconnect(stream);
            pa_stream_unref(stream);
        }
        if (context) {
            pa_context_disconnect(context);
            pa_context_unref(context);
        }
        if (loop)
            pa_threaded_mainloop_free(loop);
    }

    // Renders `bytes` of sound, a period at a time, into the stream, and
    // comes to rest after a second of silence. On the loop's thread.
    void fill(std::size_t bytes)
    {
        askForPriority();
        const unsigned seen = messages.load();
        for (std::size_t frames = bytes / kFrameBytes; frames > 0;) {
            const std::size_t count = std::min(frames, periodFrames);
            const int length = static_cast<int>(count);
            fluid_synth_write_float(synth, length, period.data(), 0, kChannels, period.data(), 1, kChannels);
            const auto end = period.begin() + static_cast<std::ptrdiff_t>(count * kChannels);
            const bool quiet
                = std::all_of(period.begin(), end, [](float sample) { return std::fabs(sample) < kInaudible; });
            silentFrames = quiet && fluid_synth_get_active_voice_count(synth) == 0 ? silentFrames + count : 0;
            if (pa_stream_write(stream, period.data(), count * kFrameBytes, nullptr, 0, PA_SEEK_RELATIVE) < 0)
                return;
            frames -= count;
        }
        // Set before the count is looked at again, as wake() counts before
        // it looks at the rest: one of the two sees the other.
        if (silentFrames >= restAfterFrames) {
            resting = true;
            if (messages.load() != seen)
                resting = false;
        }
    }

    // FluidSynth's own drivers play at real-time priority where the system
    // allows it; so does this one.
    void askForPriority()
    {
        if (priorityAsked)
            return;
        priorityAsked = true;
#if defined(__unix__)
        if (realtimePriority > 0) {
            sched_param parameter {};
            parameter.sched_priority = realtimePriority;
            pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameter);
        }
#endif
    }

    static void onContextState(pa_context* context, void* data)
    {
        auto* self = static_cast<Stream*>(data);
        if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context)))
            self->failed = true;
        pa_threaded_mainloop_signal(self->loop, 0);
    }

    static void onStreamState(pa_stream* stream, void* data)
    {
        auto* self = static_cast<Stream*>(data);
        const pa_stream_state_t state = pa_stream_get_state(stream);
        if (state == PA_STREAM_READY)
            onBufferGranted(stream, data);
        if (!PA_STREAM_IS_GOOD(state))
            self->failed = true;
        pa_threaded_mainloop_signal(self->loop, 0);
    }

    // On connecting, and when the server changes the buffer (the stream
    // moved to another device, say).
    static void onBufferGranted(pa_stream* stream, void* data)
    {
        auto* self = static_cast<Stream*>(data);
        if (const pa_buffer_attr* granted = pa_stream_get_buffer_attr(stream))
            self->queue = QueueLevel(self->askedBytes, granted->tlength, granted->minreq, granted->prebuf);
    }

    // Running dry while resting is what resting does, and while the
    // synthesizer is still loading it keeps the stream waiting: neither says
    // how short a buffer the machine keeps up with.
    static void onRanDry(pa_stream* /*stream*/, void* data)
    {
        auto* self = static_cast<Stream*>(data);
        if (self->settled && !self->resting)
            self->queue.ranDry();
    }

    static void onRequest(pa_stream* /*stream*/, std::size_t bytes, void* data)
    {
        auto* self = static_cast<Stream*>(data);
        if (!self->resting)
            self->fill(self->queue.answer(bytes));
    }

    // After a rest: answers what the server has asked for meanwhile.
    static void onWake(pa_mainloop_api* api, pa_defer_event* event, void* data)
    {
        auto* self = static_cast<Stream*>(data);
        api->defer_enable(event, 0);
        const std::size_t bytes = pa_stream_writable_size(self->stream);
        if (bytes != static_cast<std::size_t>(-1) && bytes > 0)
            self->fill(self->queue.answer(bytes));
    }

    // Waits, with the loop locked, until `ready` or the connection fails.
    template <typename Ready> bool waitFor(Ready ready)
    {
        while (!failed && !ready())
            pa_threaded_mainloop_wait(loop);
        return !failed;
    }
};

std::unique_ptr<PulseOutput> PulseOutput::start(fluid_settings_t* settings, fluid_synth_t* synth)
{
    auto self = std::make_unique<Stream>();
    self->synth = synth;
    double rate = 0;
    int periodSize = 0;
    fluid_settings_getnum(settings, "synth.sample-rate", &rate);
    fluid_settings_getint(settings, "audio.period-size", &periodSize);
    fluid_settings_getint(settings, "audio.realtime-prio", &self->realtimePriority);
    if (rate <= 0 || periodSize <= 0)
        return nullptr;
    self->periodFrames = static_cast<std::size_t>(periodSize);
    self->period.resize(self->periodFrames * kChannels);
    self->restAfterFrames = static_cast<std::size_t>(rate * kRestAfterSeconds);

    self->loop = pa_threaded_mainloop_new();
    if (!self->loop)
        return nullptr;
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(self->loop);
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "Clavora");
    pa_proplist_sets(properties, PA_PROP_APPLICATION_ICON_NAME, "example.clavora.Clavora");
    const std::string role = chosen(settings, "audio.pulseaudio.media-role");
    if (!role.empty())
        pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, role.c_str());
    self->context = pa_context_new_with_proplist(api, "Clavora", properties);
    pa_proplist_free(properties);
    if (!self->context)
        return nullptr;
    pa_context_set_state_callback(self->context, Stream::onContextState, self.get());
    const std::string server = chosen(settings, "audio.pulseaudio.server");
    if (pa_context_connect(self->context, orNull(server), PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return nullptr;

    pa_threaded_mainloop_lock(self->loop);
    const auto unlock = [&self] { pa_threaded_mainloop_unlock(self->loop); };
    if (pa_threaded_mainloop_start(self->loop) < 0
        || !self->waitFor([&] { return pa_context_get_state(self->context) == PA_CONTEXT_READY; })) {
        unlock();
        return nullptr;
    }
    const pa_sample_spec spec {PA_SAMPLE_FLOAT32LE, static_cast<std::uint32_t>(rate), kChannels};
    self->stream = pa_stream_new(self->context, "Synthesizer", &spec, nullptr);
    if (!self->stream) {
        unlock();
        return nullptr;
    }
    pa_stream_set_state_callback(self->stream, Stream::onStreamState, self.get());
    pa_stream_set_write_callback(self->stream, Stream::onRequest, self.get());
    pa_stream_set_buffer_attr_callback(self->stream, Stream::onBufferGranted, self.get());
    pa_stream_set_underflow_callback(self->stream, Stream::onRanDry, self.get());
    self->waking = api->defer_new(api, Stream::onWake, self.get());
    api->defer_enable(self->waking, 0);
    // The server splits the one period between its own buffer and ours,
    // and plays as soon as it has that much.
    self->askedBytes = self->periodFrames * kFrameBytes;
    pa_buffer_attr attributes {};
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.tlength = static_cast<std::uint32_t>(self->askedBytes);
    attributes.prebuf = static_cast<std::uint32_t>(self->askedBytes);
    attributes.minreq = static_cast<std::uint32_t>(-1);
    attributes.fragsize = static_cast<std::uint32_t>(-1);
    const std::string device = chosen(settings, "audio.pulseaudio.device");
    const bool connected = pa_stream_connect_playback(
                               self->stream, orNull(device), &attributes, PA_STREAM_ADJUST_LATENCY, nullptr, nullptr)
            >= 0
        && self->waitFor([&] { return pa_stream_get_state(self->stream) == PA_STREAM_READY; });
    unlock();
    if (!connected)
        return nullptr;
    return std::unique_ptr<PulseOutput>(new PulseOutput(std::move(self)));
}

PulseOutput::PulseOutput(std::unique_ptr<Stream> stream)
    : stream_(std::move(stream))
{
}

PulseOutput::~PulseOutput() = default;

bool PulseOutput::resting() const
{
    return stream_->resting && !stream_->failed;
}

void PulseOutput::loaded()
{
    stream_->settled = true;
}

void PulseOutput::wake()
{
    ++stream_->messages;
    if (!stream_->resting)
        return;
    pa_threaded_mainloop_lock(stream_->loop);
    if (stream_->resting.exchange(false)) {
        stream_->silentFrames = 0;
        pa_threaded_mainloop_get_api(stream_->loop)->defer_enable(stream_->waking, 1);
    }
    pa_threaded_mainloop_unlock(stream_->loop);
}

} // namespace clavora
