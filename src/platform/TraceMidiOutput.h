#pragma once
// A MIDI output that writes every message it hands to the open device into
// a text file, one line each: "1534.207 90 3C 7F" (milliseconds since the
// start instant, then status, data 1 and data 2 in hexadecimal).
#include "ForwardingMidiOutput.h"

#include <QElapsedTimer>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace clavora {

class TraceMidiOutput final : public ForwardingMidiOutput {
public:
    // Lines waiting for a slow reader, at most; what comes beyond is dropped.
    static constexpr std::size_t kDefaultBacklog = 4096;

    // Lines are appended to the file at `path`; `start` is the instant the
    // times count from. The file is written by a thread of its own, so a
    // reader that stops reading never holds up the playing: while `backlog`
    // lines wait for it, further lines are dropped, said once on stderr and
    // counted when the trace ends. When the file cannot be opened, or a
    // write fails later, one line on stderr says so, and from then on
    // nothing is written and the output works as `inner` alone.
    TraceMidiOutput(std::unique_ptr<MidiOutput> inner, const QString& path, QElapsedTimer start,
        std::size_t backlog = kDefaultBacklog);
    TraceMidiOutput(MidiOutput& inner, const QString& path, QElapsedTimer start, std::size_t backlog = kDefaultBacklog);
    // Writes what waits as far as the reader takes it without waiting, then
    // says how many lines were dropped, if any.
    ~TraceMidiOutput() override;
    TraceMidiOutput(const TraceMidiOutput&) = delete;
    TraceMidiOutput& operator=(const TraceMidiOutput&) = delete;

    bool isTracing() const;
    // Waits at most `limit` until every line handed over so far is in the
    // file (or dropped); false when some still wait for the reader.
    bool waitUntilWritten(std::chrono::milliseconds limit);
    // Lines dropped so far because the reader fell behind.
    std::size_t droppedLines() const;

    // One line of the trace, without the line end.
    static std::string formatLine(double milliseconds, std::uint32_t message);

    bool send(std::uint32_t message) override;

private:
    struct Line {
        double milliseconds;
        std::uint32_t message;
    };

    void openFile();
    void run();
    // Writes `text`, waiting for the reader while the trace lasts; what is
    // left in it could not be written (an error, or the trace is ending and
    // the reader takes no more).
    void writeOut(std::string& text);

    QString path_;
    QElapsedTimer start_;
    std::size_t backlog_;
    int fd_ = -1;
    // Wakes the writer when it waits for the reader and the trace is ending.
    int wake_[2] = {-1, -1};

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Line> waiting_;
    std::size_t inFlight_ = 0;
    std::size_t dropped_ = 0;
    bool stopping_ = false;
    std::atomic<bool> tracing_ {false};
    std::thread writer_;
};

} // namespace clavora
