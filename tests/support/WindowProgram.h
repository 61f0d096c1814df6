#pragma once
// One running program for window tests: a recording MIDI device, the fake
// platform, the playing logic and the main window, started and shown.
#include "FakePlatform.h"
#include "RecordingMidiOutput.h"
#include "piano/Piano.h"
#include "piano/PianoWindow.h"
#include "sound/MidiPort.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <functional>

namespace clavora::test {

using Message = RecordingMidiOutput::Message;
using Messages = std::vector<Message>;

struct Program {
    explicit Program(const QString& commandLine = {})
        : port(midi, platform)
        , piano(port, platform)
        , window(piano, platform)
    {
        piano.startUp();
        window.startUp(commandLine);
        window.show();
        window.activateWindow();
        static_cast<void>(QTest::qWaitForWindowActive(&window));
        midi.clear();
    }

    QWidget* focus() const { return window.findChild<QWidget*>(QStringLiteral("Focus")); }
    // The window's control (or action) of that name; the test stops without one.
    template <typename T = QWidget> T* find(const QString& name) const
    {
        if (T* found = window.findChild<T*>(name))
            return found;
        qFatal("no control named %s", qPrintable(name));
    }
    QString text(const char* label) const { return find<QLabel>(QLatin1String(label))->text(); }

    // A key event as X11 reports it: native scan code, Qt key, auto-repeat
    // flag and the server's timestamp.
    void sendKey(QEvent::Type type, int qtKey, quint32 scanCode, bool autoRepeat = false,
        Qt::KeyboardModifiers modifiers = Qt::NoModifier, ulong timestamp = 0)
    {
        QKeyEvent event(type, qtKey, modifiers, scanCode, 0, 0, QString(), autoRepeat);
        event.setTimestamp(timestamp);
        QApplication::sendEvent(focus(), &event);
    }

    RecordingMidiOutput midi;
    FakePlatform platform;
    sound::MidiPort port;
    Piano piano;
    PianoWindow window;
};

inline Message msg(int status, int data1, int data2)
{
    return {0, status, data1, data2};
}

// Runs `inside` on the modal window the next command opens, made active;
// whatever happens in it, the window does not stay open.
inline void onNextDialog(std::function<void(QWidget*)> inside)
{
    QTimer::singleShot(0, [inside = std::move(inside)] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        dialog->activateWindow();
        static_cast<void>(QTest::qWaitForWindowActive(dialog));
        inside(dialog);
        if (dialog->isVisible())
            dialog->close();
    });
}

// Another program takes the keyboard: a window of the test's own, shown and
// active until `other` goes.
inline void activate(QWidget& other)
{
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
}

} // namespace clavora::test
