// Pushes key-down and key-up events through the main window's key receiver
// into a counting device and reports the cost per event.
#include "FakePlatform.h"
#include "keys/Setting.h"
#include "keys/VoiceArea.h"
#include "piano/KeyReceiver.h"
#include "piano/Piano.h"
#include "piano/PianoWindow.h"
#include "platform/MidiOutput.h"
#include "sound/MidiPort.h"

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

// Counts what it is sent and nothing more.
class CountingOutput final : public clavora::MidiOutput {
public:
    int deviceCount() const override { return 1; }
    std::string deviceName(int) const override { return "Counter"; }
    bool open(int) override { return true; }
    void close() override { }
    bool isOpen() const override { return true; }
    bool send(std::uint32_t) override
    {
        ++count;
        return true;
    }
    long count = 0;
};

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1));
    return values[index];
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CountingOutput output;
    clavora::test::FakePlatform platform; // pauses of guitar strums cost nothing
    clavora::sound::MidiPort port(output, platform);
    clavora::Piano piano(port, platform);
    clavora::PianoWindow window(piano, platform);
    piano.startUp();
    window.startUp(QString());
    window.show();
    QWidget* focus = window.keyReceiver();

    // Keys across both areas: chord keys (three-key chords), main keys,
    // with one and with three voices sounding.
    const std::vector<Qt::Key> keys {
        Qt::Key_Z, Qt::Key_X, Qt::Key_Comma, Qt::Key_Q, Qt::Key_2, Qt::Key_P, Qt::Key_BracketRight, Qt::Key_M};
    constexpr int kRounds = 2000;
    std::vector<double> costs;
    costs.reserve(kRounds * keys.size() * 2);
    const long before = output.count;
    for (int round = 0; round < kRounds; ++round) {
        if (round == kRounds / 2)
            piano.mainArea().voices().setValue(3);
        for (Qt::Key key : keys) {
            for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent event(type, key, Qt::NoModifier);
                const auto start = std::chrono::steady_clock::now();
                QApplication::sendEvent(focus, &event);
                const auto end = std::chrono::steady_clock::now();
                costs.push_back(std::chrono::duration<double, std::micro>(end - start).count());
            }
        }
    }
    std::printf("key events: %zu, MIDI messages: %ld\n", costs.size(), output.count - before);
    std::printf("cost per event: median %.2f us, 99th percentile %.2f us, max %.2f us\n", percentile(costs, 0.5),
        percentile(costs, 0.99), percentile(costs, 1.0));
    return 0;
}
