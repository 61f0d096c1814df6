// Held keys in the real main window: X11 auto-repeat as it arrives on a busy
// machine, the keyboard going elsewhere with keys held, the mouse's own
// press, and the end of the program.
#include "WindowProgram.h"
#include "chords/ChordArea.h"
#include "piano/KeyReceiver.h"
#include "piano/PianoKeyWidget.h"

#include <QAbstractButton>
#include <QDialog>
#include <QMenu>

using namespace clavora;
using namespace clavora::test;

namespace {

// Lets the event loop come round a few times, as it does when the queued
// events are all handled; no real time passes.
void drainEvents()
{
    for (int i = 0; i < 3; ++i)
        QTimer::singleShot(0, [] {}), QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Releases held back until the queue is drained (deferred) or not; the key's
// physical state can be asked for (probe) or not. Events: P/R press/release at
// a timestamp, r/p flagged as auto-repeat, D the queue drained, v/^ the key
// physically going down/up.
struct RepeatRow {
    bool deferred, probe;
    int qtKey;
    QString events;
    Messages expected;
};

} // namespace

Q_DECLARE_METATYPE(RepeatRow)

class HeldKeysWindowTest : public QObject {
    Q_OBJECT
private slots:
    void autoRepeatUnderLoad_data()
    {
        QTest::addColumn<RepeatRow>("row");
        const Messages once {msg(0x90, 0x3C, 0x7F), msg(0x80, 0x3C, 0x00)}, twice {once[0], once[1], once[0], once[1]};
        const int comma = Qt::Key_Comma;
        QTest::newRow("repeats flagged") << RepeatRow {false, false, comma, "v P0 r40 p40 r80 p80 ^ R200", once};
        QTest::newRow("unflagged pairs in one batch")
            << RepeatRow {true, true, comma, "v P0 R40 P40 R80 P80 D ^ R200 D", once};
        QTest::newRow("partner press a drain late")
            << RepeatRow {true, true, comma, "v P0 D R40 D P40 R80 D D P80 ^ R200 D", once};
        QTest::newRow("no probe, pairs in one batch")
            << RepeatRow {true, false, comma, "v P0 R40 P40 D R80 P80 ^ R200 D", once};
        QTest::newRow("release waits for the drain") << RepeatRow {true, true, comma, "v P0 ^ R60", {once[0]}};
        QTest::newRow("double tap in one batch") << RepeatRow {true, true, comma, "v P0 ^ R60 v P90 ^ R150 D", twice};
        QTest::newRow("double tap across drains")
            << RepeatRow {true, true, comma, "v P0 ^ R60 D v P90 ^ R150 D", twice};
        QTest::newRow("held arrow keeps stepping") << RepeatRow {true, true, Qt::Key_Right,
            "v P0 R40 P40 D R80 P80 ^ R200 D", {msg(0xC0, 1, 0), msg(0xC0, 2, 0), msg(0xC0, 3, 0)}};
    }

    void autoRepeatUnderLoad()
    {
        QFETCH(RepeatRow, row);
        const auto& [deferred, probe, qtKey, events, expected] = row;
        Program p;
        KeyReceiver* receiver = p.window.keyReceiver();
        receiver->setScanCodes(keys::ScanCodes::Xkb);
        receiver->setDeferredReleases(deferred);
        const quint32 scanCode = qtKey == Qt::Key_Comma ? 59 : 114; // X key codes
        bool down = false;
        if (probe)
            receiver->setKeyProbe([&](std::uint32_t code) { return std::optional<bool>(code == scanCode && down); });
        for (const QString& event : events.split(QLatin1Char(' '))) {
            const QChar kind = event.front();
            if (kind == QLatin1Char('D'))
                drainEvents();
            else if (kind == QLatin1Char('v') || kind == QLatin1Char('^'))
                down = kind == QLatin1Char('v');
            else
                p.sendKey(kind.toUpper() == QLatin1Char('P') ? QEvent::KeyPress : QEvent::KeyRelease, qtKey, scanCode,
                    kind.isLower(), Qt::NoModifier, event.mid(1).toULong());
        }
        QCOMPARE(p.midi.messages(), expected);
    }

    void losingTheKeyboardLetsGoOfHeldKeys_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("another program") << "window";
        QTest::newRow("menu") << "menu";
        QTest::newRow("a dialog (help, F1)") << "F1";
    }

    void losingTheKeyboardLetsGoOfHeldKeys()
    {
        QFETCH(QString, how);
        Program p;
        // Space held (ninth chords), Z and the comma held.
        for (Qt::Key key : {Qt::Key_Space, Qt::Key_Z, Qt::Key_Comma})
            QTest::keyPress(p.focus(), key);
        Messages stopping; // the note-offs of exactly what was started
        for (const Message& on : p.midi.messages())
            stopping.push_back(msg(on.status - 0x10, on.data1, 0));
        QCOMPARE(stopping.size(), std::size_t {5});
        p.midi.clear();

        Messages stoppedInside;
        auto whileAway = [&](QWidget* elsewhere) {
            stoppedInside = p.midi.messages();
            QTest::keyRelease(elsewhere, Qt::Key_Comma); // let go elsewhere
            QTest::keyRelease(elsewhere, Qt::Key_Space);
        };
        QWidget other;
        if (how == QLatin1String("window")) {
            activate(other);
            whileAway(&other);
            activate(p.window);
        } else if (how == QLatin1String("menu")) {
            auto* menu = p.window.findChild<QMenu*>(QStringLiteral("mnuProgram"));
            menu->popup(p.window.mapToGlobal(QPoint(10, 10)));
            QVERIFY(QTest::qWaitForWindowExposed(menu));
            whileAway(menu);
            menu->close();
        } else {
            onNextDialog(whileAway);
            QTest::keyClick(p.focus(), Qt::Key_F1);
            QVERIFY(QTest::qWaitForWindowActive(&p.window));
        }

        // Everything held stopped while the keyboard was away, nothing more.
        QCOMPARE(stoppedInside, stopping);
        QCOMPARE(p.midi.messages(), stopping);
        for (const char* key : {"Key(0)", "Key(12)"})
            QVERIFY(!p.find<PianoKeyWidget>(QLatin1String(key))->isShownPressed());
        QCOMPARE(p.text("ChordType"), QStringLiteral("maj"));
        QCOMPARE(QApplication::focusWidget(), p.focus());

        // A release arriving late stops nothing; the next presses play.
        p.midi.clear();
        QTest::keyRelease(p.focus(), Qt::Key_Z);
        QTest::keyPress(p.focus(), Qt::Key_Z);
        QTest::keyPress(p.focus(), Qt::Key_Comma);
        QCOMPARE(p.midi.messages(),
            (Messages {msg(0x97, 0x37, 0x67), msg(0x97, 0x3C, 0x67), msg(0x97, 0x40, 0x67), msg(0x90, 0x3C, 0x7F)}));
    }

    void capsLockFollowsTheKeyWhenTheWindowIsBack()
    {
        for (const bool held : {true, false}) {
            Program p;
            // 66 is the Caps Lock key's X key code.
            p.window.keyReceiver()->setKeyProbe(
                [held](std::uint32_t code) { return std::optional<bool>(held && code == 66); });
            QTest::keyPress(p.focus(), Qt::Key_CapsLock);
            QWidget other;
            activate(other);
            QCOMPARE(p.text("ChordType"), QStringLiteral("maj"));
            activate(p.window);
            QCOMPARE(p.text("ChordType"), QLatin1String(held ? "maj7" : "maj"));
        }
    }

    void mouseKeepsItsOwnPressAndExitStopsEverything()
    {
        Program p;
        auto* key = p.find<PianoKeyWidget>(QStringLiteral("Key(12)"));
        QTest::mousePress(key, Qt::LeftButton);
        QTest::keyClick(p.focus(), Qt::Key_Comma); // the same key, pressed and let go
        QWidget other;
        activate(other);
        p.piano.setPlayDrums(true);
        QCOMPARE(p.midi.messages(), (Messages {msg(0x90, 0x3C, 0x7F)}));
        QVERIFY(key->isShownPressed());
        QTest::mouseRelease(key, Qt::LeftButton, {}, QPoint(-300, -200));
        QCOMPARE(p.midi.messages(), (Messages {msg(0x90, 0x3C, 0x7F), msg(0x80, 0x3C, 0x00)}));
        QVERIFY(!key->isShownPressed());

        // A dialog opening takes the mouse's release away: the key stops then.
        p.piano.setPlayDrums(false);
        activate(p.window);
        p.window.setChordEditor([](QWidget* owner) { QDialog(owner).exec(); }); // an editor that is only a modal window
        p.midi.clear();
        QTest::mousePress(p.find<PianoKeyWidget>(QStringLiteral("Key(40)")), Qt::LeftButton);
        Messages inside;
        onNextDialog([&](QWidget*) { inside = p.midi.messages(); });
        QTest::keyClick(p.focus(), Qt::Key_F12, Qt::ShiftModifier);
        QCOMPARE(inside, (Messages {msg(0x90, 88, 0x7F), msg(0x80, 88, 0x00)}));

        // Exit stops what is held, then closes the device.
        QVERIFY(QTest::qWaitForWindowActive(&p.window));
        QTest::keyPress(p.focus(), Qt::Key_Comma);
        QTest::mousePress(p.find<PianoKeyWidget>(QStringLiteral("Key(43)")), Qt::LeftButton);
        p.midi.clear();
        QTest::mouseClick(p.find<QAbstractButton>(QStringLiteral("ExitProgram")), Qt::LeftButton);
        QCOMPARE(p.midi.log(), (std::vector<std::string> {"80 3C 00", "80 5B 00", "close"}));
    }
};

QTEST_MAIN(HeldKeysWindowTest)
#include "HeldKeysWindowTest.moc"
