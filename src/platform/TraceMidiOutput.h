#pragma once
// A MIDI output that writes every message it hands to the open device into
// a text file, one line each: "1534.207 90 3C 7F" (milliseconds since the
// start instant, then status, data 1 and data 2 in hexadecimal).
#include "MidiOutput.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>

class QFile;

namespace clavora {

class TraceMidiOutput final : public MidiOutput {
public:
    // Lines are appended to the file at `path`; `start` is the instant the
    // times count from. When the file cannot be opened, or a write fails
    // later, one line on stderr says so, and from then on nothing is
    // written and the output works as `inner` alone.
    TraceMidiOutput(std::unique_ptr<MidiOutput> inner, const QString& path, QElapsedTimer start);
    TraceMidiOutput(MidiOutput& inner, const QString& path, QElapsedTimer start);
    ~TraceMidiOutput() override;
    TraceMidiOutput(const TraceMidiOutput&) = delete;
    TraceMidiOutput& operator=(const TraceMidiOutput&) = delete;

    bool isTracing() const;
    MidiOutput& inner() { return inner_; }

    // One line of the trace, without the line end.
    static std::string formatLine(double milliseconds, std::uint32_t message);

    int deviceCount() const override;
    std::string deviceName(int device) const override;
    void refresh() override;
    bool open(int device) override;
    void close() override;
    bool isOpen() const override;
    bool send(std::uint32_t message) override;

private:
    std::unique_ptr<MidiOutput> owned_;
    MidiOutput& inner_;
    QString path_;
    std::unique_ptr<QFile> file_;
    QElapsedTimer start_;
};

} // namespace clavora
