// Clavora: wires the platform back-ends, the playing logic and the windows.
#include "about/AboutDialog.h"
#include "about/SecretWords.h"
#include "chords/ChordArea.h"
#include "game/GameWindow.h"
#include "piano/Editors.h"
#include "piano/Keeping.h"
#include "piano/KeyReceiver.h"
#include "piano/MidiKeyboard.h"
#include "piano/Piano.h"
#include "piano/PianoWindow.h"
#include "platform/BackgroundOpenMidiOutput.h"
#include "platform/DesktopPlatform.h"
#include "platform/FluidSynthDevice.h"
#include "platform/KeyRepeatFilter.h"
#include "platform/QuitOnSignal.h"
#include "platform/SingleInstance.h"
#include "platform/StandardError.h"
#include "platform/StandardStreams.h"
#include "platform/SystemMidiInput.h"
#include "platform/SystemMidiOutput.h"
#include "platform/TakeMemory.h"
#include "platform/TakeRecorder.h"
#include "platform/TraceMidiOutput.h"
#include "platform/X11KeyPresses.h"
#include "platform/X11Keyboard.h"
#include "platform/X11Windows.h"
#include "sound/MidiDeviceDialog.h"
#include "sound/MidiInDeviceDialog.h"
#include "sound/MidiPort.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <algorithm>
#include <memory>
#include <optional>

namespace {

void complain(const QString& text)
{
    clavora::writeToStandardError(QStringLiteral("clavora: %1\n").arg(text));
}

} // namespace

int main(int argc, char* argv[])
{
    // Started with a standard stream closed, the files opened next would take
    // its place: it leads to /dev/null instead.
    clavora::openClosedStandardStreams();
    QElapsedTimer launch;
    launch.start();
    clavora::routeQtMessagesToStandardError();

    // The built-in synthesizer starts opening first of all, so that it gets
    // ready while the windows are built; the application object comes after.
    QCoreApplication::setApplicationName(QStringLiteral("Clavora"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.6"));
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // "--record FILE" is taken out before the rest of the command line is read.
    const clavora::RecordArguments record = clavora::takeRecordArguments(arguments);
    if (!record.error.isEmpty()) {
        complain(record.error);
        return 2;
    }
    // "--setup FILE" too: the setup is opened once the defaults are in force.
    const clavora::setup::SetupArguments setupArguments = clavora::setup::takeSetupArguments(record.rest);

    // Stopped from outside, the program ends as by Exit (the window closes,
    // and with it the MIDI output, and the take is finished); until the
    // application object is there to do it, the signals wait.
    clavora::QuitOnSignal::holdSignals();

    // A second instance ends at once and shows nothing.
    clavora::SingleInstance instance(clavora::SingleInstance::defaultLockPaths());
    if (!instance.tryAcquire())
        return 0;

    std::unique_ptr<clavora::MidiOutput> output = std::make_unique<clavora::SystemMidiOutput>();
    clavora::TakeRecorder* recorder = nullptr;
    if (!record.path.isEmpty()) {
        // The take lasts from the launch of the program to its end.
        const double age = clavora::processAgeMs() - static_cast<double>(launch.nsecsElapsed()) / 1e6;
        auto take = std::make_unique<clavora::TakeRecorder>(
            std::move(output), record.path,
            [launch, age] { return std::max(0.0, age) + static_cast<double>(launch.nsecsElapsed()) / 1e6; },
            clavora::FluidSynthDevice::Config::fromEnvironment());
        if (!take->isRecording()) {
            complain(QStringLiteral("cannot write \"%1\"").arg(record.path));
            return 1;
        }
        recorder = take.get();
        output = std::move(take);
    }
    // Everything played on the open device is kept, so that it can be saved
    // after the fact; its times are the trace's.
    auto memory = std::make_unique<clavora::TakeMemory>(
        std::move(output), [launch] { return static_cast<double>(launch.nsecsElapsed()) / 1e6; });
    clavora::TakeMemory& take = *memory;
    output = std::move(memory);
    const QString tracePath = qEnvironmentVariable("CLAVORA_MIDI_TRACE");
    if (!tracePath.isEmpty())
        output = std::make_unique<clavora::TraceMidiOutput>(std::move(output), tracePath, launch);
    auto background = std::make_unique<clavora::BackgroundOpenMidiOutput>(std::move(output));
    background->openAhead(0);
    output = std::move(background);

    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("example.clavora.Clavora"));
    clavora::QuitOnSignal quitOnSignal;
    // Which keys are down, for every window: a held key's repeated presses
    // reach any window as repeats. Windows without a title have no name.
    clavora::KeyRepeatFilter keyRepeats;
    clavora::x11::UntitledWindows untitledWindows;

    clavora::DesktopPlatform platform;
    clavora::sound::MidiPort port(*output, platform);
    clavora::Piano piano(port, platform);
    clavora::PianoWindow window(piano, platform);
    platform.setMessageOwner(&window);
    // A new MIDI output device hears every program change again, whether the
    // user chose it or the one in use went away.
    const auto resetSettings = [&] {
        piano.defaultMainSettings();
        piano.chordArea().defaultChordSettings();
    };
    window.setMidiDialog([&](QWidget* owner) {
        clavora::sound::MidiDeviceDialog dialog(port, piano.language(), resetSettings, owner);
        dialog.exec();
    });
    port.fallBackWhenLost(resetSettings);
    // Another program's port that leaves and comes back (a synthesizer
    // started again) is connected again and hears the instruments in force.
    port.followDevice();
    clavora::installEditors(window, piano, platform);
    // A MIDI keyboard plays the piano; no source is open until one is chosen.
    // One that leaves lets go of its notes, and plays again when it is back.
    clavora::SystemMidiInput midiInput;
    clavora::MidiKeyboard midiKeyboard(piano, platform);
    midiInput.setReceiver([&](std::uint32_t message) { midiKeyboard.receive(message); });
    midiKeyboard.follow(midiInput);
    window.setMidiInDialog([&](QWidget* owner) {
        clavora::sound::MidiInDeviceDialog dialog(
            midiInput, platform, piano.language(), [&] { midiKeyboard.releaseAll(); }, owner);
        dialog.exec();
    });

    clavora::Keeping keeping;
    keeping.takeHasNotes = [&take] { return take.hasNotes(); };
    keeping.saveTake = [&take](const QString& path, const std::atomic<bool>& stop) {
        return take.save(path, clavora::FluidSynthDevice::Config::fromEnvironment(), &stop);
    };
    keeping.forgetTake = [&take] { take.forget(); };
    // Setups carry the MIDI input by name.
    const clavora::setup::MidiInChoice midiIn {[&] { return QString::fromStdString(midiInput.openSourceName()); },
        [&](const QString& name) {
            midiKeyboard.releaseAll();
            return midiInput.openNamed(name.toStdString());
        }};
    keeping.midiIn = midiIn;
    clavora::installKeeping(window, piano, platform, keeping);
    // A take that cannot be written on (a full disk) is said in a box too,
    // once the key or command that found it out is done.
    if (recorder)
        recorder->setWriteErrorHandler([&window, &platform](const QString& text) {
            QMetaObject::invokeMethod(
                &window,
                [&platform, text] {
                    platform.messageBox(
                        clavora::MessageIcon::Exclamation, clavora::sound::MidiPort::kWarningTitle, text.toStdString());
                },
                Qt::QueuedConnection);
        });

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

    // From here on a signal ends the program like Exit, whenever it comes
    // (also while a start-up box is open). An open About box closes first,
    // silencing its tune before the device closes and saying no farewell.
    QObject::connect(&quitOnSignal, &clavora::QuitOnSignal::signalled, [&] {
        if (openAbout)
            openAbout->closeWithoutFarewell();
    });
    QObject::connect(&quitOnSignal, &clavora::QuitOnSignal::signalled, &window, &QWidget::close);

    // On X11 a held key must not arrive as a stream of releases and presses.
    // The server can be asked to send presses only; where it refuses, the
    // key receiver pairs the releases with their presses itself.
    // A key that only plays, pressed while nothing else is going on, sounds
    // as the X server's press comes, before Qt has made a key event of it.
    std::optional<clavora::x11::EarlyKeyPresses> earlyPresses;
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        window.keyReceiver()->setDeferredReleases(!clavora::x11::enableDetectableAutoRepeat());
        window.keyReceiver()->setKeyProbe(&clavora::x11::isKeyDown);
        keyRepeats.setKeyProbe(&clavora::x11::isKeyDown);
        earlyPresses.emplace([&](const clavora::x11::KeyPress& press) {
            if (press.window == window.winId() && !keyRepeats.isDown(press.keyCode, 0))
                window.keyReceiver()->pressAtOnce(press.keyCode, press.modifiers, press.timestamp);
        });
    }

    piano.startUp();
    // The window is not shown yet: a setup that cannot be opened is told on
    // the terminal, and the defaults stay.
    if (!setupArguments.path.isEmpty()) {
        if (const QString message = clavora::setup::openSetupFile(piano, setupArguments.path, midiIn);
            !message.isEmpty())
            complain(message);
    }
    // The rest of the command line, without the options Qt took for itself.
    const QStringList rest = QApplication::arguments().mid(1);
    window.startUp(
        clavora::setup::takeSetupArguments(clavora::takeRecordArguments(rest).rest).rest.join(QLatin1Char(' ')));
    window.show();

    const int result = QApplication::exec();

    // The window has closed the device: the take ends here; one that could
    // not be written whole makes the exit status a failure.
    if (recorder && !recorder->finish() && result == 0)
        return 1;
    return result;
}
