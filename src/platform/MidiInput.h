#pragma once
// A MIDI input of the system: a controller keyboard or another program
// playing into Clavora.
#include "MidiPortNames.h"

#include <cstdint>
#include <functional>
#include <string>

namespace clavora {

// The MIDI sources of the system, at most one open at a time, whose channel
// messages reach the receiver on the thread that made the input.
class MidiInput {
public:
    using Receiver = std::function<void(std::uint32_t message)>;

    virtual ~MidiInput() = default;

    // Reads the list of sources again; sourceCount() and sourceName() answer
    // from the list read last.
    virtual void refresh() { }
    virtual int sourceCount() const = 0;
    virtual std::string sourceName(int source) const = 0;
    // Opens the source (closing any other first). False when it cannot.
    virtual bool open(int source) = 0;
    virtual void close() = 0;
    // The source open, as numbered in the list read last; -1 for none.
    virtual int openSource() const = 0;

    // What became of the open source since it was last looked at (one of
    // our own never goes).
    virtual PortNews checkSource() { return PortNews::None; }

    // The name of the source open, also while it is away and waited for;
    // empty for none.
    virtual std::string openSourceName() const
    {
        const int source = openSource();
        return source < 0 ? std::string() : sourceName(source);
    }
    // Opens the source of this name (see findMidiPort) as the list reads now;
    // an empty name closes the input. False when no source of that name
    // opens.
    bool openNamed(const std::string& name);

    void setReceiver(Receiver receiver) { receiver_ = std::move(receiver); }

protected:
    void deliver(std::uint32_t message)
    {
        if (receiver_)
            receiver_(message);
    }

private:
    Receiver receiver_;
};

} // namespace clavora
