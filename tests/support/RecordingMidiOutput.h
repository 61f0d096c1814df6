#pragma once
#include "platform/MidiOutput.h"

#include <set>
#include <string>
#include <vector>

namespace clavora {

// A MIDI output that keeps everything it is asked to do, for tests. Devices are named by the list given; those in
// `failing` refuse to open.
class RecordingMidiOutput final : public MidiOutput {
public:
    struct Message {
        int device;
        int status;
        int data1;
        int data2;
        bool operator==(const Message&) const = default;
    };

    explicit RecordingMidiOutput(std::vector<std::string> names = {"Recording device"});

    int deviceCount() const override;
    std::string deviceName(int device) const override;
    bool open(int device) override;
    void close() override;
    bool isOpen() const override;
    bool send(std::uint32_t message) override;

    void setDeviceNames(std::vector<std::string> names) { names_ = std::move(names); }
    void setFailing(std::set<int> devices) { failing_ = std::move(devices); }

    // Messages delivered to an open device, in order.
    const std::vector<Message>& messages() const { return messages_; }
    void clear()
    {
        messages_.clear();
        log_.clear();
    }
    // A readable log of opens, closes and messages ("open 0", "close",
    // "90 3C 7F"), with entries added by tests through note().
    const std::vector<std::string>& log() const { return log_; }
    void note(const std::string& entry) { log_.push_back(entry); }

private:
    std::vector<std::string> names_;
    std::set<int> failing_;
    std::vector<Message> messages_;
    std::vector<std::string> log_;
    int open_ = -1;
};

} // namespace clavora
