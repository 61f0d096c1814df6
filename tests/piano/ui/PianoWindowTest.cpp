// Drives the real main window with mouse and key events and checks what
// reaches the MIDI device and what it shows. Held keys: X11 auto-repeat as it
// arrives on a busy machine, the keyboard going elsewhere with keys held, the
// mouse's own press, and the end of the program.
#include "WindowProgram.h"
#include "chords/ChordArea.h"
#include "drums/DrumPads.h"
#include "keys/VoiceArea.h"
#include "piano/KeyReceiver.h"
#include "piano/PianoKeyWidget.h"

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QCheckBox>
#include <QDialog>
#include <QKeySequence>
#include <QMenu>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>

using namespace clavora;
using namespace clavora::test;

namespace {

void drumsModeByKeys(Program& p)
{
    QTest::keyClick(p.focus(), Qt::Key_F4, Qt::ShiftModifier); // Shift goes down and up around it
    QVERIFY(p.find<QCheckBox>(QStringLiteral("PlayDrums"))->isChecked());
}

// Lets the event loop come round a few times, as it does when the queued
// events are all handled; no real time passes.
void drainEvents()
{
    for (int i = 0; i < 3; ++i) {
        QTimer::singleShot(0, [] {});
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

// Releases held back until the queue is drained (deferred) or not; the key's
// physical state can be asked for (probe) or not. Events: P/R press/release at
// a timestamp, r/p flagged as auto-repeat, E the press taken straight from
// the window system before its key event, D the queue drained (the loop
// coming round a few times), d drained once, v/^ the key physically going
// down/up.
struct RepeatRow {
    const char* name;
    bool deferred, probe;
    int qtKey;
    QString events;
    Messages expected;
};

} // namespace

Q_DECLARE_METATYPE(RepeatRow)

class PianoWindowTest : public QObject {
    Q_OBJECT
private slots:
    // The key in the US "Z" place is X key code 52 whatever the layout prints
    // on it (W in French); Shift held makes its chord minor while it is down,
    // and shows its on-screen button down meanwhile.
    void computerKeysGoByTheirPlace()
    {
        Program p;
        p.window.keyReceiver()->setScanCodes(keys::ScanCodes::Xkb);
        auto* shift = p.find<QAbstractButton>(QStringLiteral("ChordModifier(0)"));
        QTest::keyPress(p.focus(), Qt::Key_Shift, Qt::ShiftModifier);
        QCOMPARE(p.text("ChordType"), QStringLiteral("m"));
        QVERIFY(shift->isDown());
        p.sendKey(QEvent::KeyPress, Qt::Key_W, 52, false, Qt::ShiftModifier);
        QCOMPARE(p.midi.messages(), (Messages {msg(0x97, 55, 103), msg(0x97, 60, 103), msg(0x97, 63, 103)}));
        p.midi.clear();
        p.sendKey(QEvent::KeyRelease, Qt::Key_W, 52, false, Qt::ShiftModifier);
        QCOMPARE(p.midi.messages(), (Messages {msg(0x87, 55, 0), msg(0x87, 60, 0), msg(0x87, 63, 0)}));
        QTest::keyRelease(p.focus(), Qt::Key_Shift);
        QCOMPARE(p.text("ChordType"), QStringLiteral("maj"));
        QVERIFY(!shift->isDown());
    }

    void viewItemsShrinkTheWindow_data()
    {
        QTest::addColumn<bool>("drums");
        // Each step: the View item chosen ("-" for none), how many pixels the
        // window is then shorter than designed (15 twips each at 96 dpi), the
        // panels shown (+) and hidden (-).
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("piano") << false
                               << QStringList {"ShowToolbar 61 +MainPanel -Help", "ShowMainPanel 503 -MainPanel -Help",
                                      "ShowToolbar 442 +Help -MainPanel", "ShowMainPanel 0 +MainPanel +Help"};
        QTest::newRow("drums") << true
                               << QStringList {"- 0 +DrumKeysPanel +DrumNamesPanel -MainPanel",
                                      "ShowMainPanel 442 +Help -DrumKeysPanel -DrumNamesPanel -MainPanel",
                                      "ShowToolbar 503 -DrumKeysPanel -Help",
                                      "ShowMainPanel 61 +DrumKeysPanel +DrumNamesPanel -Help",
                                      "ShowToolbar 0 +DrumKeysPanel +DrumNamesPanel +Help"};
    }

    void viewItemsShrinkTheWindow()
    {
        QFETCH(bool, drums);
        QFETCH(QStringList, steps);
        Program p;
        const int design = p.window.height();
        const QStringList blocks {"MainPanel", "ChordPanel", "DrumNamesPanel", "DrumKeysPanel", "MainSettings"};
        QList<int> designTops;
        for (const QString& name : blocks)
            designTops << p.find(name)->y();
        QCOMPARE(designTops, (QList<int> {184, 270, 70, 267, 64})); // as designed, 15 twips a pixel
        if (drums)
            drumsModeByKeys(p);
        bool toolbar = true;
        for (const QString& step : steps) {
            const QStringList words = step.split(QLatin1Char(' '));
            if (words[0] != QLatin1String("-"))
                p.find<QAction>(words[0])->trigger();
            toolbar ^= words[0] == QLatin1String("ShowToolbar");
            QCOMPARE(p.window.height(), design - words[1].toInt());
            for (const QString& panel : words.mid(2))
                QVERIFY2(p.find(panel.mid(1))->isVisible() == panel.startsWith(u'+'), qPrintable(step + " " + panel));
            // Every block moves up with the toolbar, the frames with it.
            for (qsizetype i = 0; i < blocks.size(); ++i)
                QCOMPARE(p.find(blocks[i])->y(), designTops[i] - (toolbar ? 0 : 61));
            QCOMPARE(p.find(QStringLiteral("MainPanelFrame"))->y(), toolbar ? 61 : 0);
            QCOMPARE(p.find(QStringLiteral("ChordPanelFrame"))->y(), (toolbar ? 61 : 0) + 205);
            QCOMPARE(QApplication::focusWidget(), p.focus());
        }
    }

    // The chord area's twelve keys stand in one row at the foot of the chord
    // panel, the main area's thirty-two in one row at the top of theirs;
    // white keys a key's width apart (360 twips, 24 pixels at 96 dpi).
    void keysStandInOneRowPerArea()
    {
        Program p;
        QList<int> chordWhites, mainWhites;
        for (int key = 0; key < 44; ++key) {
            auto* widget = p.find<PianoKeyWidget>(QStringLiteral("Key(%1)").arg(key));
            const bool chord = key < 12;
            QCOMPARE(widget->parentWidget()->objectName(),
                chord ? QStringLiteral("ChordPanel") : QStringLiteral("MainPanel"));
            QCOMPARE(widget->y(), chord ? 154 : 2);
            if (widget->width() > 20) // white keys are the wide ones
                (chord ? chordWhites : mainWhites) << widget->x();
        }
        QCOMPARE(chordWhites, (QList<int> {4, 28, 52, 76, 100, 124, 148}));
        QCOMPARE(mainWhites,
            (QList<int> {0, 24, 48, 72, 96, 120, 144, 168, 192, 216, 240, 264, 288, 312, 336, 360, 384, 408, 432}));
    }

    // Every text of the window has the room it asks for, in each language
    // and whatever the chord mode or drums mode shows. The suite runs this
    // again at a scale of 1.5, as on a high-density screen.
    void everyTextHasItsRoom_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("mode");
        for (const int language : {1, 2, 3})
            for (const char* mode : {"F2", "F3", "F4", "drums"})
                QTest::addRow("%d %s", language, mode) << language << QString::fromLatin1(mode);
    }

    void everyTextHasItsRoom()
    {
        QFETCH(int, language);
        QFETCH(QString, mode);
        Program p;
        p.piano.setLanguage(language);
        if (mode == QLatin1String("drums"))
            drumsModeByKeys(p);
        else
            QTest::keyClick(p.focus(), QKeySequence::fromString(mode)[0].key());
        QStringList cut;
        for (const QLabel* label : p.window.findChildren<QLabel*>()) {
            const QSize needed = label->sizeHint();
            if (label->isVisible() && (label->width() < needed.width() || label->height() < needed.height()))
                cut << label->objectName();
        }
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
    }

    void stealthSwitch_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("title"); // null for a normal window
        const QString normal;
        for (const auto& [commandLine, title] : {std::pair<const char*, QString> {"/stealth", ""},
                 {"/STEALTHMy Title", "My Title"}, {"/STEALTH My Title", " My Title"}, {"   /Stealth   ", ""},
                 {"/STEALT", normal}, {"-STEALTH My Title", normal}, {"", normal}, {"x /STEALTH", normal}})
            QTest::newRow(*commandLine ? commandLine : "none") << QString::fromLatin1(commandLine) << title;
    }

    void stealthSwitch()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, title);
        Program p(commandLine);
        QCOMPARE(p.window.isStealth(), !title.isNull());
        QCOMPARE(p.window.windowTitle(), title.isNull() ? QStringLiteral("Clavora 2.6") : title);
        if (title.isNull())
            return;
        QVERIFY(p.window.width() <= 1 && p.window.height() <= 1);
        p.find<QAction>(QStringLiteral("ShowToolbar"))->trigger();
        QVERIFY(p.window.height() <= 1);
        QTest::keyClick(p.focus(), Qt::Key_Comma); // the keyboard still plays
        QCOMPARE(p.midi.messages().front(), msg(0x90, 60, 127));
    }

    void scrollBarsDriveTheirSettingsAndLabels()
    {
        Program p;
        auto* instrument = p.find<QScrollBar>(QStringLiteral("MainInstrument"));
        instrument->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(p.text("MainInstrumentLabel"), QStringLiteral("010 - Music Box"));
        // Selecting slot 2 shows that slot's values.
        p.find<QScrollBar>(QStringLiteral("MainChannel"))->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(instrument->value(), 48);
        QCOMPARE(p.text("MainChannelLabel"), QStringLiteral("Channel 2"));
        p.find<QScrollBar>(QStringLiteral("MainVolume"))->setValue(100);
        QCOMPARE(p.text("MainVolumeLabel"), QStringLiteral("Volume 100"));
        // Each bar's range and the step of a click in its trough.
        const std::tuple<const char*, int, int, int> bars[] = {{"MainInstrument", 0, 127, 10}, {"MainOctave", 1, 5, 2},
            {"MainVolume", 0, 127, 8}, {"MainChannel", 1, 7, 3}, {"MainVoices", 1, 7, 3},
            {"ChordInstrument", 0, 127, 10}, {"ChordOctave", 1, 5, 2}, {"ChordVolume", 0, 127, 8},
            {"ChordChannel", 1, 7, 3}, {"ChordVoices", 1, 7, 3}, {"DrumsVolume", 0, 127, 8}};
        for (const auto& [name, minimum, maximum, step] : bars) {
            const auto* bar = p.find<QScrollBar>(QLatin1String(name));
            QCOMPARE(std::tuple(bar->minimum(), bar->maximum(), bar->pageStep()), std::tuple(minimum, maximum, step));
        }
    }

    void focusStaysOnTheKeysAfterButtonsAndNavigationKeys()
    {
        Program p;
        // Buttons that open a modal window of their own are left out.
        const QStringList modal {QStringLiteral("Help"), QStringLiteral("Language"), QStringLiteral("ExitProgram")};
        int clicked = 0;
        for (QAbstractButton* button : p.window.findChildren<QAbstractButton*>()) {
            if (modal.contains(button->objectName()) || !button->isVisible())
                continue;
            p.focus()->clearFocus();
            p.midi.clear();
            QTest::mouseClick(
                button, Qt::LeftButton, {}, QPoint(std::min(8, button->width() / 2), button->height() / 2));
            QVERIFY2(QApplication::focusWidget() == p.focus(), qPrintable(button->objectName()));
            ++clicked;
            if (button->objectName() == QLatin1String("Silence"))
                QCOMPARE(p.midi.messages().size(), std::size_t {16}); // every channel, as Esc does
            if (button->objectName() == QLatin1String("PlayDrums"))
                QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center()); // back to piano mode
        }
        QVERIFY(clicked >= 10);
        QCOMPARE(p.platform.boxes.size(), std::size_t {0});

        p.find<QRadioButton>(QStringLiteral("Chords3Keys"))->click();
        for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Space, Qt::Key_Return, Qt::Key_Left, Qt::Key_Down}) {
            QTest::keyClick(p.focus(), key);
            QCOMPARE(QApplication::focusWidget(), p.focus());
        }
        // Space is a chord modifier, Enter a playing key: no button was pressed.
        QCOMPARE(p.piano.playDrums(), false);
        QCOMPARE(p.piano.chordArea().mode(), ChordArea::Mode::ThreeKeys);
    }

    void drumsModeFromKeyboardAndPads()
    {
        Program p;
        drumsModeByKeys(p);
        // From the start each pad shows its sound's number, the high ones in bold.
        const auto number = [&](int pad) {
            auto* label = p.find<QLabel>(QStringLiteral("lblDrumKeyNumber(%1)").arg(pad));
            return label->text() + (label->font().bold() ? u'H' : u'N');
        };
        QCOMPARE(number(0) + number(2) + number(46), QStringLiteral("06N06H20H"));
        // The four columns of names hold all 47 sounds, in order.
        const QString names = p.text("DrumNames1") + p.text("DrumNames2") + p.text("DrumNames3") + p.text("DrumNames4");
        QCOMPARE(names.count(QLatin1Char('\n')), 47);
        QVERIFY(names.startsWith(QStringLiteral("00 - Acoustic Bass Drum\n01 - Bass Drum 1\n")));
        QVERIFY(names.endsWith(QStringLiteral("45 - Mute Triangle\n46 - Open Triangle\n")));
        p.midi.clear();
        auto* pad = p.find(QStringLiteral("DrumKey(2)"));
        // A released pad is white with black text; a held one takes the desktop's button colours.
        // The pad's own colour is what is painted over the panel under it.
        const auto look = [&] {
            const QImage panel = pad->parentWidget()->grab().toImage();
            return std::pair(
                panel.pixelColor(pad->geometry().topLeft() + QPoint(4, 4)), pad->palette().color(QPalette::WindowText));
        };
        const QPalette desktop = pad->parentWidget()->palette();
        QCOMPARE(look(), std::pair(QColor(Qt::white), QColor(Qt::black)));
        QTest::mousePress(pad, Qt::LeftButton, {}, pad->rect().center());
        QCOMPARE(look(), std::pair(desktop.color(QPalette::Button), desktop.color(QPalette::ButtonText)));
        QTest::mouseRelease(pad, Qt::LeftButton, {}, pad->rect().center());
        QCOMPARE(look(), std::pair(QColor(Qt::white), QColor(Qt::black)));
        QCOMPARE(p.midi.messages(), (Messages {msg(0x99, 0x29, 0x7F), msg(0x89, 0x29, 0)}));
        QCOMPARE(QApplication::focusWidget(), p.focus());
        // Keypad 0 then 9: the last pad now plays the Pedal Hi-Hat.
        QTest::keyClick(p.focus(), Qt::Key_0, Qt::KeypadModifier);
        QTest::keyClick(p.focus(), Qt::Key_9, Qt::KeypadModifier);
        QCOMPARE(number(0) + number(2), QStringLiteral("06N09H"));
        // A click on a pad's number box makes it the last pad and asks for its editor.
        QSignalSpy editor(&p.piano, &Piano::drumEditorRequested);
        p.midi.clear();
        auto* box = p.find(QStringLiteral("DrumKeyNumber(30)"));
        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
        QCOMPARE(p.piano.drumPads().lastDrumKey(), 30);
        QCOMPARE(editor.count(), 1);
        QVERIFY(p.midi.messages().empty());
    }

    void chordModeButtonsShowTheirControls()
    {
        Program p;
        const auto visible = [&](const char* name) { return p.find(QLatin1String(name))->isVisible(); };
        // The names of the mode buttons that show as chosen.
        const auto chosen = [&] {
            QStringList names;
            for (const QRadioButton* button : p.window.findChildren<QRadioButton*>())
                if (button->isChecked())
                    names << button->objectName();
            return names;
        };
        QVERIFY(visible("ChordType") && !visible("Split"));
        QTest::keyClick(p.focus(), Qt::Key_F2);
        QCOMPARE(chosen(), QStringList {QStringLiteral("Chords1Key")});
        QVERIFY(visible("Split") && !visible("ChordModifier(0)") && !visible("ChordConfigurationFrame"));
        QCOMPARE(p.find<QScrollBar>(QStringLiteral("ChordChannel"))->value(), 5);
        QTest::keyClick(p.focus(), Qt::Key_F4);
        QCOMPARE(chosen(), QStringList {QStringLiteral("ChordsGuitar")});
        QVERIFY(visible("ChordConfigurationFrame"));
        QCOMPARE(p.find<QScrollBar>(QStringLiteral("ChordChannel"))->value(), 6);
        // The on-screen modifiers hold a chord type like the keys do.
        auto* ctrl = p.find<QAbstractButton>(QStringLiteral("ChordModifier(1)"));
        QTest::mousePress(ctrl, Qt::LeftButton);
        QCOMPARE(p.text("ChordType"), QStringLiteral("7"));
        QTest::mouseRelease(ctrl, Qt::LeftButton);
        QCOMPARE(p.text("ChordType"), QStringLiteral("maj"));
        QTest::keyClick(p.focus(), Qt::Key_F3);
        QCOMPARE(chosen(), QStringList {QStringLiteral("Chords3Keys")});
    }

    void autoRepeatUnderLoad_data()
    {
        QTest::addColumn<RepeatRow>("row");
        const Messages once {msg(0x90, 0x3C, 0x7F), msg(0x80, 0x3C, 0x00)}, twice {once[0], once[1], once[0], once[1]};
        const int comma = Qt::Key_Comma;
        const RepeatRow rows[] = {
            {"repeats flagged", false, false, comma, "v P0 r40 p40 r80 p80 ^ R200", once},
            {"unflagged pairs in one batch", true, true, comma, "v P0 R40 P40 R80 P80 D ^ R200 D", once},
            {"partner press a drain late", true, true, comma, "v P0 D R40 D P40 R80 D D P80 ^ R200 D", once},
            {"no probe, partner press a drain late, release after two", true, false, comma, "P0 R40 d P40 R80 d d",
                once},
            {"no probe, pairs in one batch", true, false, comma, "v P0 R40 P40 D R80 P80 ^ R200 D", once},
            {"release waits for the drain", true, true, comma, "v P0 ^ R60", {once[0]}},
            {"double tap in one batch", true, true, comma, "v P0 ^ R60 v P90 ^ R150 D", twice},
            {"double tap across drains", true, true, comma, "v P0 ^ R60 D v P90 ^ R150 D", twice},
            {"early presses pair with held-back releases", true, true, comma,
                "v E0 P0 D R40 D E40 P40 R80 D D E80 P80 ^ R200 D", once},
            {"held arrow keeps stepping", true, true, Qt::Key_Right, "v P0 R40 P40 D R80 P80 ^ R200 D",
                {msg(0xC0, 1, 0), msg(0xC0, 2, 0), msg(0xC0, 3, 0)}},
        };
        for (const RepeatRow& row : rows)
            QTest::newRow(row.name) << row;
    }

    void autoRepeatUnderLoad()
    {
        QFETCH(RepeatRow, row);
        const auto& [name, deferred, probe, qtKey, events, expected] = row;
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
            else if (kind == QLatin1Char('d'))
                emit QAbstractEventDispatcher::instance()->aboutToBlock();
            else if (kind == QLatin1Char('v') || kind == QLatin1Char('^'))
                down = kind == QLatin1Char('v');
            else if (kind == QLatin1Char('E'))
                QVERIFY(receiver->pressAtOnce(scanCode, Qt::NoModifier, event.mid(1).toULong()));
            else
                p.sendKey(kind.toUpper() == QLatin1Char('P') ? QEvent::KeyPress : QEvent::KeyRelease, qtKey, scanCode,
                    kind.isLower(), Qt::NoModifier, event.mid(1).toULong());
        }
        QCOMPARE(p.midi.messages(), expected);
    }

    // A release held back while its key is still down is looked at again a
    // little later, not at once: the event loop does not spin while the key
    // is held.
    void heldBackReleaseWaitsForItsKey()
    {
        Program p;
        KeyReceiver* receiver = p.window.keyReceiver();
        receiver->setScanCodes(keys::ScanCodes::Xkb);
        receiver->setDeferredReleases(true);
        receiver->setKeyProbe([](std::uint32_t) { return std::optional<bool>(true); });
        p.sendKey(QEvent::KeyPress, Qt::Key_Comma, 59, false, Qt::NoModifier, 0);
        p.sendKey(QEvent::KeyRelease, Qt::Key_Comma, 59, false, Qt::NoModifier, 40);
        drainEvents();
        const auto* comeRound = receiver->findChild<QTimer*>(QStringLiteral("ComeRound"));
        QVERIFY(receiver->hasDeferredReleases() && comeRound->isActive());
        QCOMPARE_GT(comeRound->interval(), 0);
        QCOMPARE(p.midi.messages(), (Messages {msg(0x90, 0x3C, 0x7F)}));
    }

    // A press is taken before its key event only where that event would
    // come: the key box has the focus of the active window, no menu is open,
    // and the key only plays.
    void earlyPressesOnlyWhereTheKeyEventWouldGo()
    {
        Program p;
        KeyReceiver* receiver = p.window.keyReceiver();
        receiver->setScanCodes(keys::ScanCodes::Xkb);
        constexpr quint32 kComma = 59, kSpace = 65, kShift = 50, kEscape = 9, kF3 = 69, kLeft = 113;
        QSignalSpy downs(receiver, &KeyReceiver::keyDown);
        for (quint32 command : {kSpace, kShift, kEscape, kF3, kLeft})
            QVERIFY2(!receiver->pressAtOnce(command, Qt::NoModifier, 1), qPrintable(QString::number(command)));
        QVERIFY(receiver->pressAtOnce(kComma, Qt::NoModifier, 1));
        p.sendKey(QEvent::KeyPress, Qt::Key_Comma, kComma, false, Qt::NoModifier, 1);
        p.sendKey(QEvent::KeyRelease, Qt::Key_Comma, kComma, false, Qt::NoModifier, 2);
        // Shift+comma plays the same key with the chord area's Shift.
        QVERIFY(receiver->pressAtOnce(kComma, Qt::ShiftModifier, 3));
        p.sendKey(QEvent::KeyPress, Qt::Key_Less, kComma, false, Qt::ShiftModifier, 3);
        p.sendKey(QEvent::KeyRelease, Qt::Key_Less, kComma, false, Qt::ShiftModifier, 4);
        const Messages once {msg(0x90, 0x3C, 0x7F), msg(0x80, 0x3C, 0x00)};
        QCOMPARE(p.midi.messages(), (Messages {once[0], once[1], once[0], once[1]}));
        QCOMPARE(downs.count(), 2); // the key events passed nothing on

        p.midi.clear();
        QMenu menu;
        menu.addAction(QStringLiteral("Item"));
        menu.popup(p.window.mapToGlobal(QPoint(10, 10)));
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QVERIFY(!receiver->pressAtOnce(kComma, Qt::NoModifier, 5));
        menu.close();
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
        p.find<QScrollBar>(QStringLiteral("MainVolume"))->setFocus();
        QVERIFY(!receiver->pressAtOnce(kComma, Qt::NoModifier, 6));
        receiver->setFocus();
        // A modal window that has not taken the focus yet blocks the keys.
        QDialog dialog(&p.window);
        dialog.setAttribute(Qt::WA_ShowWithoutActivating);
        dialog.open();
        QVERIFY(receiver->hasFocus() && QApplication::activeModalWidget() == &dialog);
        QVERIFY(!receiver->pressAtOnce(kComma, Qt::NoModifier, 7));
        QVERIFY(p.midi.messages().empty());
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
        // The ninth chord of Z, then the comma's note.
        QCOMPARE(p.midi.messages(),
            (Messages {msg(0x97, 0x34, 0x67), msg(0x97, 0x3A, 0x67), msg(0x97, 0x3C, 0x67), msg(0x97, 0x3E, 0x67),
                msg(0x90, 0x3C, 0x7F)}));
        const Messages stopping {
            msg(0x87, 0x34, 0), msg(0x87, 0x3A, 0), msg(0x87, 0x3C, 0), msg(0x87, 0x3E, 0), msg(0x80, 0x3C, 0)};
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
        // A probe that cannot tell (nothing) counts the key as up.
        for (const std::optional<bool> held : {std::optional(true), std::optional(false), std::optional<bool>()}) {
            Program p;
            // 66 is the Caps Lock key's X key code.
            p.window.keyReceiver()->setKeyProbe(
                [held](std::uint32_t code) { return code == 66 ? held : std::optional<bool>(false); });
            QTest::keyPress(p.focus(), Qt::Key_CapsLock);
            QWidget other;
            activate(other);
            QCOMPARE(p.text("ChordType"), QStringLiteral("maj"));
            activate(p.window);
            QCOMPARE(p.text("ChordType"), QLatin1String(held == true ? "maj7" : "maj"));
        }
    }

    // The right button plays too; the mouse's press outlasts the same key
    // typed and the keyboard going elsewhere, and its release away from the
    // key stops it, even in drums mode, where the keys are silent.
    void mouseKeepsItsOwnPressAndExitStopsEverything()
    {
        Program p;
        auto* key = p.find<PianoKeyWidget>(QStringLiteral("Key(12)"));
        QTest::mousePress(key, Qt::RightButton);
        QTest::keyClick(p.focus(), Qt::Key_Comma); // the same key, pressed and let go
        QWidget other;
        activate(other);
        p.piano.setPlayDrums(true);
        QCOMPARE(p.midi.messages(), (Messages {msg(0x90, 0x3C, 0x7F)}));
        QVERIFY(key->isShownPressed());
        QTest::mouseRelease(key, Qt::RightButton, {}, QPoint(-300, -200));
        QVERIFY(!key->isShownPressed());
        activate(p.window);
        QTest::mousePress(key, Qt::LeftButton);
        QVERIFY(!key->isShownPressed());
        QTest::mouseRelease(key, Qt::LeftButton);
        QCOMPARE(p.midi.messages(), (Messages {msg(0x90, 0x3C, 0x7F), msg(0x80, 0x3C, 0x00)}));
        QVERIFY(!p.piano.isKeyPressed(12));
        QCOMPARE(QApplication::focusWidget(), p.focus());

        // A dialog opening takes the mouse's release away: the key stops then.
        p.piano.setPlayDrums(false);
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

QTEST_MAIN(PianoWindowTest)
#include "PianoWindowTest.moc"
