#pragma once
#include "MidiOutput.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QObject;

namespace clavora {

// Opens a slow device (the built-in synthesizer loads a SoundFont) on a
// worker thread so that the windows can come up meanwhile. Messages sent
// while it opens are held and handed to the device in order as soon as it
// is open, still on the worker, so that the instruments they choose are
// loaded there too; when it cannot be opened they are dropped. Every other
// call waits for the open to end first, so the device is only ever used by
// one thread at a time. It does not derive from ForwardingMidiOutput: no
// call may reach the device without waiting for the worker first, so each
// is written out here rather than forwarded by default.
class BackgroundOpenMidiOutput final : public MidiOutput {
public:
    explicit BackgroundOpenMidiOutput(std::unique_ptr<MidiOutput> inner);
    ~BackgroundOpenMidiOutput() override;
    BackgroundOpenMidiOutput(const BackgroundOpenMidiOutput&) = delete;
    BackgroundOpenMidiOutput& operator=(const BackgroundOpenMidiOutput&) = delete;

    int deviceCount() const override;
    std::string deviceName(int device) const override;
    void refresh() override;
    bool open(int device) override;
    // An open still going on is waited for; its result is not reported.
    void close() override;
    bool isOpen() const override;
    bool send(std::uint32_t message) override;
    void setDeviceLostHandler(std::function<void()> lost) override;
    // None while an open goes on: it is not waited for.
    PortNews checkDevice() override;
    // -1 while an open goes on: it is not waited for either.
    int lostDeviceBack() override;
    void forgetLostDevice() override;

    // `done` is called from the event loop of the thread that called this.
    void beginOpen(int device, std::function<void(bool)> done) override;
    // Starts opening the device before anyone asks, e.g. while the windows
    // are being built. The next beginOpen of the same device takes over this
    // open instead of starting another.
    void openAhead(int device);
    // Waits for the worker and reports its result now.
    void finishOpening() override;
    // True from beginOpen until the held messages have been handed over.
    bool isOpening() const;

private:
    void joinWorker() const;
    void startWorker(int device);

    std::unique_ptr<MidiOutput> inner_;
    std::unique_ptr<QObject> context_;
    mutable std::mutex mutex_;
    mutable std::thread worker_;
    std::deque<std::uint32_t> held_;
    // Changed under the mutex; read without it by send() once the open has
    // ended, so that a key press takes no lock the worker may hold.
    std::atomic<bool> holding_ {false};
    bool opened_ = false;
    unsigned generation_ = 0;
    int aheadDevice_ = -1;
    std::function<void(bool)> done_;
};

} // namespace clavora
