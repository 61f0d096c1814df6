// What a MIDI keyboard adds to the way of a key to the MIDI out: a note-on
// pushed on another thread (as the MIDI input's own thread pushes it), through
// the queue and the main thread's event loop, the MIDI keyboard and the
// piano, to the device. Prints the median, 90th and 99th percentiles and the
// worst of N note-ons (default 2000), and the load average.
#include "FakePlatform.h"
#include "piano/MidiKeyboard.h"
#include "piano/Piano.h"
#include "platform/MidiInputQueue.h"
#include "platform/MidiOutput.h"
#include "sound/MidiPort.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Notes the moment each note-on arrives.
class TimingOutput final : public clavora::MidiOutput {
public:
    int deviceCount() const override { return 1; }
    std::string deviceName(int) const override { return "Timer"; }
    bool open(int) override { return true; }
    void close() override { }
    bool isOpen() const override { return true; }
    bool send(std::uint32_t message) override
    {
        if ((message & 0xF0) == 0x90)
            arrived.store(Clock::now().time_since_epoch().count());
        return true;
    }
    std::atomic<Clock::rep> arrived {0};
};

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(10, std::atoi(argv[1])) : 2000;

    TimingOutput output;
    clavora::test::FakePlatform platform;
    clavora::sound::MidiPort port(output, platform);
    clavora::Piano piano(port, platform);
    piano.startUp();
    clavora::MidiKeyboard keyboard(piano, platform);
    clavora::MidiInputQueue queue([&](std::uint32_t message) { keyboard.receive(message); });

    std::vector<double> latencies;
    std::thread input([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the event loop is running
        for (int i = 0; i < count; ++i) {
            // Note 60 is a main key: one note-on, then its note-off.
            const std::uint8_t on[] {0x90, 60, 100};
            const std::uint8_t off[] {0x80, 60, 0};
            output.arrived.store(0);
            const Clock::time_point pushed = Clock::now();
            queue.push(on, sizeof on);
            while (output.arrived.load() == 0)
                std::this_thread::yield();
            latencies.push_back(std::chrono::duration<double, std::micro>(
                Clock::duration(output.arrived.load()) - pushed.time_since_epoch())
                                    .count());
            queue.push(off, sizeof off);
            // Players leave some time between notes: the main thread is idle
            // in its event loop when the next one comes.
            std::this_thread::sleep_for(std::chrono::microseconds(500 + (i % 7) * 300));
        }
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    QCoreApplication::exec();
    input.join();

    QFile load(QStringLiteral("/proc/loadavg"));
    const QByteArray average = load.open(QIODevice::ReadOnly) ? load.readAll().trimmed() : QByteArray("unknown");
    std::printf(
        "MIDI input to MIDI out, %d note-ons: median %.1f us, 90th percentile %.1f us, 99th percentile %.1f us, "
        "worst %.1f us (load average %s)\n",
        count, percentile(latencies, 0.5), percentile(latencies, 0.9), percentile(latencies, 0.99),
        *std::max_element(latencies.begin(), latencies.end()), average.constData());
    return 0;
}
