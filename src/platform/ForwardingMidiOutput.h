#pragma once
#include "MidiOutput.h"

#include <memory>

namespace clavora {

// An output that hands every call on to another one. Outputs that add to
// another (a trace, a recording) derive from it and override what they add
// to.
class ForwardingMidiOutput : public MidiOutput {
public:
    explicit ForwardingMidiOutput(std::unique_ptr<MidiOutput> inner)
        : owned_(std::move(inner))
        , inner_(*owned_)
    {
    }
    explicit ForwardingMidiOutput(MidiOutput& inner)
        : inner_(inner)
    {
    }
    ForwardingMidiOutput(const ForwardingMidiOutput&) = delete;
    ForwardingMidiOutput& operator=(const ForwardingMidiOutput&) = delete;

    MidiOutput& inner() const { return inner_; }

    int deviceCount() const override { return inner_.deviceCount(); }
    std::string deviceName(int device) const override { return inner_.deviceName(device); }
    void refresh() override { inner_.refresh(); }
    bool open(int device) override { return inner_.open(device); }
    void close() override { inner_.close(); }
    bool isOpen() const override { return inner_.isOpen(); }
    bool send(std::uint32_t message) override { return inner_.send(message); }
    bool loadDeferred() override { return inner_.loadDeferred(); }
    void setDeviceLostHandler(std::function<void()> lost) override { inner_.setDeviceLostHandler(std::move(lost)); }
    PortNews checkDevice() override { return inner_.checkDevice(); }
    int lostDeviceBack() override { return inner_.lostDeviceBack(); }
    void forgetLostDevice() override { inner_.forgetLostDevice(); }

private:
    std::unique_ptr<MidiOutput> owned_;
    MidiOutput& inner_;
};

} // namespace clavora
