#pragma once
// Listens to what a program plays, on the steady clock: the first sample
// louder than a threshold and the last one, from a JACK client connected to
// every other client's audio outputs, or from a PulseAudio recording of a
// sink's monitor.
#include <atomic>
#include <chrono>
#include <memory>
#include <string>

namespace bench {

inline long long nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class SoundCapture {
public:
    // Samples whose magnitude is above this count as sound (-60 dBFS).
    static constexpr float kThreshold = 1e-3f;

    virtual ~SoundCapture() = default;

    // Steady-clock nanoseconds at which the first loud sample since the last
    // arm() reached us; 0 while none has.
    long long heardAt() const { return heardAt_.load(); }
    // The latest loud sample, 0 when there was none.
    long long lastLoudAt() const { return lastLoudAt_.load(); }
    // When the latest block arrived, loud or not.
    long long lastBlockAt() const { return lastBlockAt_.load(); }
    void arm() { heardAt_ = 0; }
    // Work that must not be done on the audio thread (connecting new ports).
    virtual void poll() { }
    // The capture path's own delay as the sound system reports it, in
    // milliseconds; negative when it does not.
    virtual double ownDelayMs() const { return -1; }
    // The sound server's period, in milliseconds; 0 when it has none that
    // matters to the programs listened to.
    virtual double periodMs() const { return 0; }

    // A JACK client of the running server; null when there is none.
    static std::unique_ptr<SoundCapture> openJack(const std::string& clientName);
    // A recording of the default sink's monitor with fragments of
    // `fragmentBytes`; null without a PulseAudio server (or support for it).
    static std::unique_ptr<SoundCapture> openPulse(int fragmentBytes);

protected:
    // Called with each block as it arrives.
    void listen(const float* samples, std::size_t count)
    {
        lastBlockAt_ = nowNs();
        for (std::size_t i = 0; i < count; ++i) {
            if (samples[i] > kThreshold || samples[i] < -kThreshold) {
                const long long now = nowNs();
                lastLoudAt_ = now;
                long long none = 0;
                heardAt_.compare_exchange_strong(none, now);
                return;
            }
        }
    }

private:
    std::atomic<long long> heardAt_ {0};
    std::atomic<long long> lastLoudAt_ {0};
    std::atomic<long long> lastBlockAt_ {0};
};

} // namespace bench
