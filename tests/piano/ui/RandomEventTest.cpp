// Plays the real main window with a long seeded stream of random keys, mouse
// presses, menu commands, dialogs and MIDI keyboard messages, with time
// passing for strums and chords, as a restless user would, and checks
// that every byte sent is valid MIDI and that nothing keeps sounding once
// every key is let go. CLAVORA_FUZZ_SEED and CLAVORA_FUZZ_EVENTS choose the
// stream; a failure prints the seed that reproduces it.
#include "WindowProgram.h"
#include "chords/ChordArea.h"
#include "piano/Editors.h"
#include "piano/MidiKeyboard.h"
#include "platform/MidiConstants.h"
#include "sound/MidiDeviceDialog.h"

#include <QAbstractButton>
#include <QDialog>
#include <QMenu>
#include <QRegularExpression>
#include <QScrollBar>

#include <random>
#include <set>
#include <utility>
#include <vector>

using namespace clavora;

namespace {

quint64 envNumber(const char* name, quint64 fallback)
{
    bool ok = false;
    const quint64 value = qEnvironmentVariable(name).toULongLong(&ok);
    return ok ? value : fallback;
}

// Keys a player can reach: the playing keys, the chord modifiers, the
// function keys, arrows and keypad, Esc.
std::vector<std::pair<int, Qt::KeyboardModifiers>> keyPool()
{
    std::vector<std::pair<int, Qt::KeyboardModifiers>> keys;
    for (int k = Qt::Key_A; k <= Qt::Key_Z; ++k)
        keys.emplace_back(k, Qt::NoModifier);
    for (int k = Qt::Key_0; k <= Qt::Key_9; ++k)
        keys.insert(keys.end(), {{k, Qt::NoModifier}, {k, Qt::KeypadModifier}});
    for (int k = Qt::Key_F1; k <= Qt::Key_F12; ++k)
        keys.emplace_back(k, Qt::NoModifier);
    for (int k : {Qt::Key_Comma, Qt::Key_Period, Qt::Key_Semicolon, Qt::Key_Slash, Qt::Key_Minus, Qt::Key_Equal,
             Qt::Key_BracketLeft, Qt::Key_BracketRight, Qt::Key_Apostrophe, Qt::Key_Backspace, Qt::Key_Return,
             Qt::Key_Insert, Qt::Key_Delete, Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Left,
             Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Escape, Qt::Key_Space, Qt::Key_Shift, Qt::Key_Control,
             Qt::Key_Alt, Qt::Key_CapsLock})
        keys.emplace_back(k, Qt::NoModifier);
    return keys;
}

Qt::KeyboardModifiers modifierOf(int key)
{
    return key == Qt::Key_Shift  ? Qt::ShiftModifier
        : key == Qt::Key_Control ? Qt::ControlModifier
        : key == Qt::Key_Alt     ? Qt::AltModifier
                                 : Qt::NoModifier;
}

} // namespace

class RandomEventTest : public QObject {
    Q_OBJECT
private slots:
    void restlessPlayingLeavesNothingSounding()
    {
        const quint64 seed = envNumber("CLAVORA_FUZZ_SEED", 20261206), count = envNumber("CLAVORA_FUZZ_EVENTS", 100000);

        test::Program p;
        auto& [midi, platform, port, piano, window] = p;
        window.setMidiDialog([&](QWidget* owner) {
            const auto reset = [&] {
                piano.defaultMainSettings();
                piano.chordArea().defaultChordSettings();
            };
            sound::MidiDeviceDialog(port, piano.language(), reset, owner).exec();
        });
        installEditors(window, piano, platform);
        // Strums and chord waits run on timers that move only with the stream.
        platform.heldTimers = true;
        MidiKeyboard input(piano, platform);
        std::set<int> midiHeld;

        // Whatever dialog or message box an event opens is closed again from
        // inside its own event loop.
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog->reject();
            else if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        closer.start(0);

        QWidget* focus = p.focus();
        const auto keys = keyPool();
        QList<QAction*> actions;
        for (QAction* action : window.findChildren<QAction*>())
            if (!action->objectName().isEmpty() && action->objectName() != QLatin1String("mnuExit") && !action->menu())
                actions << action;
        // Piano keys, pads, on-screen modifiers and every button but Exit.
        const QRegularExpression pressed(QStringLiteral("^(Key\\(|DrumKey|ChordModifier\\(|lblDrumKeyNumber)"));
        QList<QWidget*> clickable;
        for (QWidget* w : window.findChildren<QWidget*>())
            if (pressed.match(w->objectName()).hasMatch()
                || (qobject_cast<QAbstractButton*>(w) && w->objectName() != QLatin1String("ExitProgram")))
                clickable << w;
        const QList<QScrollBar*> bars = window.findChildren<QScrollBar*>();

        std::mt19937_64 random(seed);
        const auto pick
            = [&](std::size_t size) { return std::uniform_int_distribution<std::size_t>(0, size - 1)(random); };
        // Keys held, with their keypad flag: a keypad digit is a key of its own.
        using Key = std::pair<int, Qt::KeyboardModifiers::Int>;
        std::set<Key> held;
        Qt::KeyboardModifiers modifiers;
        QWidget* mouseHeld = nullptr;
        const auto send = [&](QEvent::Type type, int key, Qt::KeyboardModifiers extra, bool repeat) {
            QKeyEvent event(type, key, modifiers | extra, 0, 0, 0, QString(), repeat);
            QApplication::sendEvent(focus, &event);
        };
        const auto release = [&](Key key) {
            held.erase(key);
            modifiers &= ~modifierOf(key.first);
            send(QEvent::KeyRelease, key.first, Qt::KeyboardModifiers(key.second), false);
        };

        for (quint64 i = 0; i < count; ++i) {
            const std::size_t what = pick(120);
            if (what >= 100) {
                // A MIDI keyboard: notes anywhere (velocity 0 lets go),
                // releases, controllers, bends, program changes; time passes.
                const auto byte = [&] { return static_cast<int>(pick(128)); };
                if (what < 110) {
                    const int note = 24 + static_cast<int>(pick(80)), velocity = byte();
                    if (velocity)
                        midiHeld.insert(note);
                    else
                        midiHeld.erase(note);
                    input.receive(midi::packShortMessage(midi::kNoteOn + byte() % 16, note, velocity));
                } else if (what < 115) {
                    if (!midiHeld.empty()) {
                        const int note = *std::next(midiHeld.begin(), static_cast<long>(pick(midiHeld.size())));
                        midiHeld.erase(note);
                        input.receive(midi::packShortMessage(midi::kNoteOff, note, byte()));
                    }
                } else if (what < 117) {
                    const int types[] {midi::kControlChange, midi::kProgramChange, 0xD0, 0xE0};
                    input.receive(midi::packShortMessage(types[pick(4)] + byte() % 16, byte(), byte()));
                } else {
                    platform.advance(static_cast<int>(pick(60)));
                }
            } else if (what < 45) {
                const auto& [key, extra] = keys[pick(keys.size())];
                const bool repeat = held.contains({key, extra.toInt()});
                if (!repeat) {
                    held.insert({key, extra.toInt()});
                    modifiers |= modifierOf(key);
                }
                send(QEvent::KeyPress, key, extra, repeat);
            } else if (what < 80) {
                if (!held.empty())
                    release(*std::next(held.begin(), static_cast<long>(pick(held.size()))));
            } else if (what < 82) {
                const auto& [key, extra] = keys[pick(keys.size())];
                if (!held.contains({key, extra.toInt()}))
                    send(QEvent::KeyRelease, key, extra, false); // a key never seen pressed
            } else if (what < 92) {
                if (mouseHeld) {
                    QTest::mouseRelease(std::exchange(mouseHeld, nullptr), Qt::LeftButton, {}, QPoint(2, 2));
                } else if (QWidget* target = clickable[static_cast<qsizetype>(pick(clickable.size()))];
                           target->isVisible()) {
                    QTest::mousePress(target, Qt::LeftButton, {}, QPoint(2, 2));
                    mouseHeld = target;
                }
            } else if (what < 95) {
                if (QAction* action = actions[static_cast<qsizetype>(pick(actions.size()))]; action->isEnabled())
                    action->trigger();
            } else if (what < 98) {
                QScrollBar* bar = bars[static_cast<qsizetype>(pick(bars.size()))];
                if (bar->isVisible())
                    bar->setValue(bar->minimum()
                        + static_cast<int>(pick(static_cast<std::size_t>(bar->maximum() - bar->minimum() + 1))));
            } else {
                // Another program takes the keyboard for a moment.
                QEvent out(QEvent::WindowDeactivate), in(QEvent::WindowActivate);
                QApplication::sendEvent(&window, &out);
                QApplication::sendEvent(&window, &in);
                focus->setFocus();
            }
        }

        // Let go of everything.
        while (!held.empty())
            release(*held.begin());
        if (mouseHeld)
            QTest::mouseRelease(mouseHeld, Qt::LeftButton, {}, QPoint(2, 2));
        for (const int note : midiHeld)
            input.receive(midi::packShortMessage(midi::kNoteOff, note, 0));
        platform.advance(1000);
        closer.stop();

        // Follow the notes sounding on the device through the messages sent.
        std::set<std::pair<int, int>> sounding; // channel, note
        for (const auto& m : midi.messages()) {
            // Status and data are single bytes as sent: a status has its top
            // bit set, data bytes not.
            const bool valid = m.status >= 0x80 && m.data1 <= 127 && m.data2 <= 127;
            QVERIFY2(valid,
                qPrintable(QStringLiteral("seed %1: invalid message ").arg(seed)
                    + QString::asprintf("%02X %02X %02X", m.status, m.data1, m.data2)));
            const int type = m.status & 0xF0, channel = m.status & 0x0F;
            if (type == 0x90 && m.data2 > 0)
                sounding.insert({channel, m.data1});
            else if (type == 0x80 || type == 0x90)
                sounding.erase({channel, m.data1});
            else if (type == 0xB0 && (m.data1 == 120 || m.data1 == 123))
                std::erase_if(sounding, [channel](const auto& note) { return note.first == channel; });
        }
        QString left;
        for (const auto& [channel, note] : sounding)
            left += QStringLiteral(" ch%1/%2").arg(channel).arg(note);
        QVERIFY2(sounding.empty(), qPrintable(QStringLiteral("seed %1: still sounding:%2").arg(seed).arg(left)));
        QVERIFY2(midi.messages().size() > count / 10, "the stream played something");
    }
};

QTEST_MAIN(RandomEventTest)
#include "RandomEventTest.moc"
