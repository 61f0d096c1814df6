// Clavora: wires the platform back-ends, the playing logic and the windows.
#include "about/AboutDialog.h"
#include "about/SecretWords.h"
#include "game/GameWindow.h"
#include "piano/KeyReceiver.h"
#include "piano/Editors.h"
#include "piano/Piano.h"
#include "piano/PianoWindow.h"
#include "platform/DesktopPlatform.h"
#include "platform/QuitOnSignal.h"
#include "platform/SingleInstance.h"
#include "platform/SystemMidiOutput.h"
#include "platform/TraceMidiOutput.h"
#include "platform/X11Keyboard.h"
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
    clavora::installEditors(window, piano, platform);

    // The About box: what is typed into it is kept from one opening to the
    // next; its secret words open the hidden game over it.
    clavora::about::TypedWords typedWords;
    const clavora::about::AboutDialog::GameOpener openHiddenGame = [](QWidget* owner) {
        clavora::game::GameWindow game(owner);
        game.exec();
    };
    clavora::about::AboutDialog* openAbout = nullptr;
    window.setAboutDialog([&](QWidget* owner) {
        clavora::about::AboutDialog about(typedWords, port, platform, piano.language(), openHiddenGame, owner);
        openAbout = &about;
        about.exec();
        openAbout = nullptr;
    });

    // On X11 a held key must not arrive as a stream of releases and presses.
    // The server can be asked to send presses only; where it refuses, the
    // key receiver pairs the releases with their presses itself.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        window.keyReceiver()->setDeferredReleases(!clavora::x11::enableDetectableAutoRepeat());
        window.keyReceiver()->setKeyProbe(&clavora::x11::isKeyDown);
    }

    piano.startUp();
    window.startUp(QApplication::arguments().mid(1).join(QLatin1Char(' ')));
    window.show();

    // Stopped from outside, the program ends as by Exit: the window closes
    // and with it the MIDI output.
    clavora::QuitOnSignal quitOnSignal;
    // An open About box closes first, silencing its tune before the device
    // closes and saying no farewell.
    QObject::connect(&quitOnSignal, &clavora::QuitOnSignal::signalled, [&] {
        if (openAbout)
            openAbout->closeWithoutFarewell();
    });
    QObject::connect(&quitOnSignal, &clavora::QuitOnSignal::signalled, &window, &QWidget::close);
    return QApplication::exec();
}
