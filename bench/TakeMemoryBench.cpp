// The take kept in memory at its bound: how long filling it takes, how much
// memory it holds, and how long saving it as a MIDI file keeps the program
// busy.
#include "platform/MidiConstants.h"
#include "platform/TakeMemory.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <string>

using namespace clavora;

namespace {

long residentKb()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

// A device that is always open and takes everything.
class OpenOutput final : public ForwardingMidiOutput {
public:
    using ForwardingMidiOutput::ForwardingMidiOutput;
    bool isOpen() const override { return true; }
    bool send(std::uint32_t) override { return true; }
};

} // namespace

int main()
{
    NullMidiOutput none;
    OpenOutput device(none);
    double now = 0;
    const long before = residentKb();
    TakeMemory memory(device, [&] { return now; });
    QElapsedTimer timer;
    timer.start();
    // Notes on and off, 145 messages a second, a little more than the bound holds.
    for (std::size_t i = 0; i < TakeMemory::kDefaultCapacity + 1000; ++i) {
        now += 1000.0 / 145;
        const bool on = i % 2 == 0;
        memory.send(midi::packShortMessage(on ? midi::kNoteOn : midi::kNoteOff, 48 + int(i / 2 % 24), on ? 100 : 0));
    }
    std::printf("kept %zu messages (%.1f minutes) in %.1f ms, %ld kB more resident memory\n", memory.size(),
        now / 60000, static_cast<double>(timer.nsecsElapsed()) / 1e6, residentKb() - before);
    QTemporaryDir folder;
    timer.restart();
    const QString error = memory.save(folder.filePath(QStringLiteral("take.mid")), {});
    std::printf("saved as MIDI in %.1f ms%s%s\n", static_cast<double>(timer.nsecsElapsed()) / 1e6,
        error.isEmpty() ? "" : ": ", qPrintable(error));
    return error.isEmpty() ? 0 : 1;
}
