// Held keys in the real main window: X11 auto-repeat as it arrives on a busy
// machine, the keyboard going elsewhere with keys held, the mouse's own
// press, and the end of the program.
#include "WindowProgram.h"
#include "chords/ChordArea.h"
#include "piano/KeyReceiver.h"
#include "piano/PianoKeyWidget.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>

using namespace clavora;
using namespace clavora::test;

namespace {

constexpr quint32 kCommaScanCode = 59;
constexpr quint32 kCapsLockScanCode = 66;

// Lets the event loop come round a few times, as it does when the queued
// events are all handled; no real time passes.
void drainEvents()
{
    for (int i = 0; i < 3; ++i) {
        QTimer::singleShot(0, [] {});
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

// The note-offs that stop exactly these note-ons.
std::vector<Message> noteOffsOf(const std::vector<Message>& noteOns)
{
    std::vector<Message> offs;
    for (const Message& on : noteOns)
        offs.push_back(msg(on.status - 0x10, on.data1, 0));
    return offs;
}

// Closes the modal dialog that opens next, after running `inside` in it.
void closeNextDialog(std::function<void(QWidget*)> inside)
{
    QTimer::singleShot(0, [inside = std::move(inside)] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        inside(dialog);
        dialog->close();
    });
}

} // namespace

class HeldKeysWindowTest : public QObject {
    Q_OBJECT
private slots:
    void autoRepeatUnderLoad_data();
    void autoRepeatUnderLoad();
    void losingTheKeyboardLetsGoOfHeldKeys_data();
    void losingTheKeyboardLetsGoOfHeldKeys();
    void capsLockFollowsTheKeyWhenTheWindowIsBack();
    void mouseKeepsItsOwnPress();
    void exitStopsHeldNotesBeforeClosing();
};

void HeldKeysWindowTest::autoRepeatUnderLoad_data()
{
    QTest::addColumn<bool>("deferred");
    QTest::addColumn<bool>("probe");
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<QString>("events");
    QTest::addColumn<std::vector<Message>>("expected");

    // Events: P/R press/release at a timestamp, r/p flagged as auto-repeat,
    // D the queue drained, v/^ the key physically going down/up.
    const auto on = msg(0x90, 0x3C, 0x7F);
    const auto off = msg(0x80, 0x3C, 0x00);
    QTest::newRow("repeats flagged") << false << false << int(Qt::Key_Comma)
                                     << "v P0 r40 p40 r80 p80 ^ R200" << std::vector{on, off};
    QTest::newRow("unflagged pairs in one batch") << true << true << int(Qt::Key_Comma)
                                                  << "v P0 R40 P40 R80 P80 D ^ R200 D" << std::vector{on, off};
    QTest::newRow("partner press a drain late") << true << true << int(Qt::Key_Comma)
                                                << "v P0 D R40 D P40 R80 D D P80 ^ R200 D" << std::vector{on, off};
    QTest::newRow("no probe, pairs in one batch") << true << false << int(Qt::Key_Comma)
                                                  << "v P0 R40 P40 D R80 P80 ^ R200 D" << std::vector{on, off};
    QTest::newRow("release waits for the drain") << true << true << int(Qt::Key_Comma)
                                                 << "v P0 ^ R60" << std::vector{on};
    QTest::newRow("double tap in one batch") << true << true << int(Qt::Key_Comma)
                                             << "v P0 ^ R60 v P90 ^ R150 D" << std::vector{on, off, on, off};
    QTest::newRow("double tap across drains") << true << true << int(Qt::Key_Comma)
                                              << "v P0 ^ R60 D v P90 ^ R150 D" << std::vector{on, off, on, off};
    QTest::newRow("held arrow keeps stepping") << true << true << int(Qt::Key_Right)
                                               << "v P0 R40 P40 D R80 P80 ^ R200 D"
                                               << std::vector{msg(0xC0, 1, 0), msg(0xC0, 2, 0), msg(0xC0, 3, 0)};
}

void HeldKeysWindowTest::autoRepeatUnderLoad()
{
    QFETCH(bool, deferred);
    QFETCH(bool, probe);
    QFETCH(int, qtKey);
    QFETCH(QString, events);
    QFETCH(std::vector<Message>, expected);

    Program p;
    KeyReceiver* receiver = p.window.keyReceiver();
    receiver->setScanCodes(keys::ScanCodes::Xkb);
    receiver->setDeferredReleases(deferred);
    const quint32 scanCode = qtKey == Qt::Key_Comma ? kCommaScanCode : 114;
    bool down = false;
    if (probe)
        receiver->setKeyProbe([&](std::uint32_t code) { return std::optional<bool>(code == scanCode && down); });

    for (const QString& event : events.split(QLatin1Char(' '))) {
        const QChar kind = event.front();
        const ulong time = event.mid(1).toULong();
        if (kind == QLatin1Char('D'))
            drainEvents();
        else if (kind == QLatin1Char('v') || kind == QLatin1Char('^'))
            down = kind == QLatin1Char('v');
        else
            p.sendKey(kind.toUpper() == QLatin1Char('P') ? QEvent::KeyPress : QEvent::KeyRelease, qtKey, scanCode,
                      kind.isLower(), Qt::NoModifier, time);
    }
    QCOMPARE(p.midi.messages(), expected);
}

void HeldKeysWindowTest::losingTheKeyboardLetsGoOfHeldKeys_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("another program") << "window";
    QTest::newRow("menu") << "menu";
    QTest::newRow("help (F1)") << "F1";
    QTest::newRow("language dialog (Shift+F1)") << "Shift+F1";
    QTest::newRow("chord editor (Shift+F12)") << "Shift+F12";
}

void HeldKeysWindowTest::losingTheKeyboardLetsGoOfHeldKeys()
{
    QFETCH(QString, how);
    Program p;
    p.window.setChordEditor([](QWidget* owner) {
        QDialog editor(owner);
        editor.exec();
    });
    // Space held (ninth chords), Z and the comma held.
    QTest::keyPress(p.focus(), Qt::Key_Space);
    QTest::keyPress(p.focus(), Qt::Key_Z);
    QTest::keyPress(p.focus(), Qt::Key_Comma);
    const std::vector<Message> started = p.midi.messages();
    QCOMPARE(started.size(), std::size_t{5});
    p.midi.clear();

    std::vector<Message> stoppedInside;
    auto whileAway = [&](QWidget* elsewhere) {
        stoppedInside = p.midi.messages();
        QTest::keyRelease(elsewhere, Qt::Key_Comma);  // let go elsewhere
        QTest::keyRelease(elsewhere, Qt::Key_Space);
    };
    QWidget other;
    if (how == QLatin1String("window")) {
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        whileAway(&other);
        p.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p.window));
    } else if (how == QLatin1String("menu")) {
        auto* menu = p.window.findChild<QMenu*>(QStringLiteral("mnuProgram"));
        menu->popup(p.window.mapToGlobal(QPoint(10, 10)));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        whileAway(menu);
        menu->close();
    } else {
        closeNextDialog(whileAway);
        const bool shift = how.startsWith(QLatin1String("Shift"));
        QTest::keyClick(p.focus(), how.endsWith(QLatin1String("F12")) ? Qt::Key_F12 : Qt::Key_F1,
                        shift ? Qt::ShiftModifier : Qt::NoModifier);
        QVERIFY(QTest::qWaitForWindowActive(&p.window));
    }

    // Everything held stopped while the keyboard was away, nothing more.
    QCOMPARE(stoppedInside, noteOffsOf(started));
    QCOMPARE(p.midi.messages(), noteOffsOf(started));
    QVERIFY(!p.find<PianoKeyWidget>(QStringLiteral("Key(0)"))->isShownPressed());
    QVERIFY(!p.find<PianoKeyWidget>(QStringLiteral("Key(12)"))->isShownPressed());
    QCOMPARE(p.find<QLabel>(QStringLiteral("ChordType"))->text(), QStringLiteral("maj"));
    QCOMPARE(QApplication::focusWidget(), p.focus());

    // A release arriving late stops nothing; the next presses play.
    p.midi.clear();
    QTest::keyRelease(p.focus(), Qt::Key_Z);
    QTest::keyPress(p.focus(), Qt::Key_Z);
    QTest::keyPress(p.focus(), Qt::Key_Comma);
    QCOMPARE(p.midi.messages(), (std::vector{msg(0x97, 0x37, 0x67), msg(0x97, 0x3C, 0x67), msg(0x97, 0x40, 0x67),
                                             msg(0x90, 0x3C, 0x7F)}));
}

void HeldKeysWindowTest::capsLockFollowsTheKeyWhenTheWindowIsBack()
{
    for (const bool held : {true, false}) {
        Program p;
        p.window.keyReceiver()->setKeyProbe([held](std::uint32_t code) {
            return std::optional<bool>(held && code == kCapsLockScanCode);
        });
        QTest::keyPress(p.focus(), Qt::Key_CapsLock);
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QCOMPARE(p.find<QLabel>(QStringLiteral("ChordType"))->text(), QStringLiteral("maj"));
        p.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p.window));
        QCOMPARE(p.find<QLabel>(QStringLiteral("ChordType"))->text(), held ? QStringLiteral("maj7") : QStringLiteral("maj"));
        QCOMPARE(p.piano.chordArea().isModifierDown(ChordArea::CapsModifier), held);
    }
}

void HeldKeysWindowTest::mouseKeepsItsOwnPress()
{
    Program p;
    auto* key = p.find<PianoKeyWidget>(QStringLiteral("Key(12)"));
    QTest::mousePress(key, Qt::LeftButton);
    QTest::keyClick(p.focus(), Qt::Key_Comma);  // the same key, pressed and let go
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    p.piano.setPlayDrums(true);
    QCOMPARE(p.midi.messages(), (std::vector{msg(0x90, 0x3C, 0x7F)}));
    QVERIFY(key->isShownPressed());
    QTest::mouseRelease(key, Qt::LeftButton, {}, QPoint(-300, -200));
    QCOMPARE(p.midi.messages(), (std::vector{msg(0x90, 0x3C, 0x7F), msg(0x80, 0x3C, 0x00)}));
    QVERIFY(!key->isShownPressed());

    // A dialog opening takes the mouse's release away: the key stops then.
    p.piano.setPlayDrums(false);
    p.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&p.window));
    p.window.setChordEditor([](QWidget* owner) {
        QDialog editor(owner);
        editor.exec();
    });
    p.midi.clear();
    QTest::mousePress(p.find<PianoKeyWidget>(QStringLiteral("Key(40)")), Qt::LeftButton);
    std::vector<Message> inside;
    closeNextDialog([&](QWidget*) { inside = p.midi.messages(); });
    QTest::keyClick(p.focus(), Qt::Key_F12, Qt::ShiftModifier);
    QCOMPARE(inside, (std::vector{msg(0x90, 88, 0x7F), msg(0x80, 88, 0x00)}));
}

void HeldKeysWindowTest::exitStopsHeldNotesBeforeClosing()
{
    Program p;
    QTest::keyPress(p.focus(), Qt::Key_Comma);
    QTest::mousePress(p.find<PianoKeyWidget>(QStringLiteral("Key(43)")), Qt::LeftButton);
    p.midi.clear();
    QTest::mouseClick(p.find<QAbstractButton>(QStringLiteral("ExitProgram")), Qt::LeftButton);
    QCOMPARE(p.midi.log(), (std::vector<std::string>{"80 3C 00", "80 5B 00", "close"}));
}

QTEST_MAIN(HeldKeysWindowTest)
#include "HeldKeysWindowTest.moc"
