#pragma once
#include "MidiPortNames.h"

#include <cstdint>
#include <functional>
#include <string>

namespace clavora {

// One MIDI output of the system, as the program sees it: a numbered list of
// devices of which at most one is open at a time.
class MidiOutput {
public:
    virtual ~MidiOutput() = default;

    virtual int deviceCount() const = 0;
    virtual std::string deviceName(int device) const = 0;
    // Reads the list of devices again, for outputs whose devices come and go.
    virtual void refresh() { }

    // Opens the device (closing any other first). False when it cannot be opened.
    virtual bool open(int device) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Sends one packed short message (see midi::packShortMessage). False when
    // nothing is open or the device refused it.
    virtual bool send(std::uint32_t message) = 0;

    // Starts opening the device and may return before it is open; `done`
    // gets the result on the calling thread. Messages sent meanwhile are
    // held and delivered, in order, once the device is open (dropped when
    // it cannot be opened). Outputs that open quickly simply open at once.
    virtual void beginOpen(int device, std::function<void(bool)> done) { done(open(device)); }
    // Waits for an open started by beginOpen to end, calling its `done`
    // now if it has not been called yet.
    virtual void finishOpening() { }
    // Does one more piece of the loading the device put off when it opened
    // (instruments not needed yet), so that the first notes are not kept
    // waiting for it. False when nothing is left. Messages take the same
    // effect whether this is called or not: what they need is loaded first.
    virtual bool loadDeferred() { return false; }

    // What to do when the open device stops working by itself: the sound
    // server it depends on has gone away. `lost` is called from the event
    // loop of the thread that made the output, once for that open, unless
    // another device was opened or closed meanwhile. The device is of no
    // use any more; closing it is safe.
    virtual void setDeviceLostHandler(std::function<void()> lost) { static_cast<void>(lost); }
    // What became of the open device, when it is another program's port or
    // a synthesizer playing through a sound server, since it was last looked
    // at (see PortNews). Gone leaves it open, waiting: once a port of its
    // name, or the server, is back, it is connected again. When the last
    // open failed, Ready tells that it may work if tried again.
    virtual PortNews checkDevice() { return PortNews::None; }
    // The device lost with its JACK server (see setDeviceLostHandler) is
    // waited for, until forgetLostDevice(): once a server runs again and
    // the device is there on it, this is its number in the list, which has
    // then been read again; -1 meanwhile, and when none is waited for.
    // Cheap while nothing has changed.
    virtual int lostDeviceBack() { return -1; }
    virtual void forgetLostDevice() { }
};

// An output with no devices: every open fails and every send is dropped.
class NullMidiOutput final : public MidiOutput {
public:
    int deviceCount() const override { return 0; }
    std::string deviceName(int) const override { return {}; }
    bool open(int) override { return false; }
    void close() override { }
    bool isOpen() const override { return false; }
    bool send(std::uint32_t) override { return false; }
};

} // namespace clavora
