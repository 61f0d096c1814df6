// Clavora: wires the platform back-ends, the playing logic and the windows.
#include "piano/Piano.h"
#include "piano/PianoWindow.h"
#include "platform/DesktopPlatform.h"
#include "platform/QuitOnSignal.h"
#include "platform/SingleInstance.h"
#include "platform/SystemMidiOutput.h"
#include "platform/TraceMidiOutput.h"
#include "chords/ChordArea.h"
#include "sound/MidiDeviceDialog.h"
#include "sound/MidiPort.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <memory>

int main(int argc, char* argv[])
{
    QElapsedTimer launch;
    launch.start();

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Clavora"));
    QApplication::setApplicationVersion(QStringLiteral("2.6"));

    // A second instance ends at once and shows nothing.
    clavora::SingleInstance instance(clavora::SingleInstance::defaultLockPath());
    if (!instance.tryAcquire())
        return 0;

    std::unique_ptr<clavora::MidiOutput> output = std::make_unique<clavora::SystemMidiOutput>();
    const QString tracePath = qEnvironmentVariable("CLAVORA_MIDI_TRACE");
    if (!tracePath.isEmpty())
        output = std::make_unique<clavora::TraceMidiOutput>(std::move(output), tracePath, launch);

    clavora::DesktopPlatform platform;
    clavora::sound::MidiPort port(*output, platform);
    clavora::Piano piano(port, platform);
    clavora::PianoWindow window(piano, platform);
    platform.setMessageOwner(&window);
    window.setMidiDialog([&](QWidget* owner) {
        clavora::sound::MidiDeviceDialog dialog(port, piano.language(), [&] {
            piano.defaultMainSettings();
            piano.chordArea().defaultChordSettings();
        }, owner);
        dialog.exec();
    });

    piano.startUp();
    window.startUp(QApplication::arguments().mid(1).join(QLatin1Char(' ')));
    window.show();

    // Stopped from outside, the program ends as by Exit: the window closes
    // and with it the MIDI output.
    clavora::QuitOnSignal quitOnSignal;
    QObject::connect(&quitOnSignal, &clavora::QuitOnSignal::signalled, &window, &QWidget::close);
    return QApplication::exec();
}
