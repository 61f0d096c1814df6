#include "BackgroundOpenMidiOutput.h"

#include <QObject>

namespace clavora {

BackgroundOpenMidiOutput::BackgroundOpenMidiOutput(std::unique_ptr<MidiOutput> inner)
    : inner_(std::move(inner))
    , context_(std::make_unique<QObject>())
{
}

BackgroundOpenMidiOutput::~BackgroundOpenMidiOutput()
{
    joinWorker();
    done_ = nullptr;
}

void BackgroundOpenMidiOutput::joinWorker() const
{
    if (worker_.joinable())
        worker_.join();
}

void BackgroundOpenMidiOutput::finishOpening()
{
    joinWorker();
    if (!done_)
        return;
    const auto done = std::move(done_);
    done_ = nullptr;
    done(opened_);
}

int BackgroundOpenMidiOutput::deviceCount() const
{
    joinWorker();
    return inner_->deviceCount();
}

std::string BackgroundOpenMidiOutput::deviceName(int device) const
{
    joinWorker();
    return inner_->deviceName(device);
}

void BackgroundOpenMidiOutput::refresh()
{
    finishOpening();
    inner_->refresh();
}

bool BackgroundOpenMidiOutput::open(int device)
{
    aheadDevice_ = -1;
    finishOpening();
    if (!inner_->open(device))
        return false;
    while (inner_->loadDeferred()) { }
    return true;
}

void BackgroundOpenMidiOutput::close()
{
    aheadDevice_ = -1;
    joinWorker();
    done_ = nullptr;
    inner_->close();
}

bool BackgroundOpenMidiOutput::isOpen() const
{
    joinWorker();
    return inner_->isOpen();
}

bool BackgroundOpenMidiOutput::isOpening() const
{
    return holding_.load(std::memory_order_acquire);
}

bool BackgroundOpenMidiOutput::send(std::uint32_t message)
{
    // The worker clears the flag as its very last use of the device, so a
    // message that finds it clear goes straight to the device.
    if (holding_.load(std::memory_order_acquire)) {
        const std::lock_guard lock(mutex_);
        if (holding_.load(std::memory_order_relaxed)) {
            held_.push_back(message);
            return true;
        }
    }
    return inner_->send(message);
}

// Not waiting for an open in progress: the handler is only kept by the
// device, and called from the event loop, never by the open itself.
void BackgroundOpenMidiOutput::setDeviceLostHandler(std::function<void()> lost)
{
    inner_->setDeviceLostHandler(std::move(lost));
}

PortNews BackgroundOpenMidiOutput::checkDevice()
{
    // Like send(): once the open has ended the worker no longer touches the device.
    return isOpening() ? PortNews::None : inner_->checkDevice();
}

int BackgroundOpenMidiOutput::lostDeviceBack()
{
    return isOpening() ? -1 : inner_->lostDeviceBack();
}

void BackgroundOpenMidiOutput::forgetLostDevice()
{
    joinWorker();
    inner_->forgetLostDevice();
}

void BackgroundOpenMidiOutput::openAhead(int device)
{
    finishOpening();
    startWorker(device);
    aheadDevice_ = device;
}

void BackgroundOpenMidiOutput::beginOpen(int device, std::function<void(bool)> done)
{
    const bool ahead = aheadDevice_ == device && aheadDevice_ >= 0;
    aheadDevice_ = -1;
    if (ahead) {
        done_ = std::move(done);
        // Finished already, the worker has no more report to post.
        if (!isOpening()) {
            QMetaObject::invokeMethod(
                context_.get(),
                [this, generation = generation_] {
                    if (generation == generation_)
                        finishOpening();
                },
                Qt::QueuedConnection);
        }
        return;
    }
    finishOpening();
    done_ = std::move(done);
    startWorker(device);
}

void BackgroundOpenMidiOutput::startWorker(int device)
{
    const unsigned generation = ++generation_;
    {
        const std::lock_guard lock(mutex_);
        held_.clear();
        holding_.store(true, std::memory_order_release);
    }
    worker_ = std::thread([this, device, generation] {
        const bool opened = inner_->open(device);
        std::unique_lock lock(mutex_);
        const auto deliverHeld = [&] {
            while (opened && !held_.empty()) {
                const std::uint32_t message = held_.front();
                held_.pop_front();
                lock.unlock();
                inner_->send(message);
                lock.lock();
            }
        };
        deliverHeld();
        // What the device put off loading is loaded now, a piece at a time;
        // what is sent meanwhile is still held, and delivered in between.
        bool loading = opened;
        while (loading) {
            lock.unlock();
            loading = inner_->loadDeferred();
            lock.lock();
            deliverHeld();
        }
        held_.clear();
        opened_ = opened;
        // The report is on its way before anyone can see the open finished.
        QMetaObject::invokeMethod(
            context_.get(),
            [this, generation] {
                if (generation == generation_)
                    finishOpening();
            },
            Qt::QueuedConnection);
        holding_.store(false, std::memory_order_release);
    });
}

} // namespace clavora
