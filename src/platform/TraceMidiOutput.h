#pragma once
// A MIDI output that writes every message it hands to the open device into
// a text file, one line each: "1534.207 90 3C 7F" (milliseconds since the
// start instant, then status, data 1 and data 2 in hexadecimal).
#include "ForwardingMidiOutput.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>

class QFile;

namespace clavora {

class TraceMidiOutput final : public ForwardingMidiOutput {
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

    // One line of the trace, without the line end.
    static std::string formatLine(double milliseconds, std::uint32_t message);

    bool send(std::uint32_t message) override;

private:
    void openFile();

    QString path_;
    std::unique_ptr<QFile> file_;
    QElapsedTimer start_;
};

} // namespace clavora
