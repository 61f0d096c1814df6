// Drives the real main window with mouse and key events and checks what
// reaches the MIDI device and what it shows.
#include "WindowProgram.h"
#include "chords/ChordArea.h"
#include "drums/DrumPads.h"
#include "keys/VoiceArea.h"
#include "piano/KeyReceiver.h"
#include "piano/PianoKeyWidget.h"

#include <QAbstractButton>
#include <QCheckBox>
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

} // namespace

class PianoWindowTest : public QObject {
    Q_OBJECT
private slots:
    // The right button plays too, and a key let go elsewhere stops; in drums
    // mode the keys are silent.
    void mouseOnAKey()
    {
        Program p;
        auto* widget = p.find<PianoKeyWidget>(QStringLiteral("Key(43)"));
        QTest::mousePress(widget, Qt::RightButton);
        QCOMPARE(p.midi.messages(), (Messages {msg(0x90, 91, 127)}));
        QVERIFY(widget->isShownPressed());
        QTest::mouseRelease(widget, Qt::RightButton, {}, QPoint(200, -40));
        QCOMPARE(p.midi.messages(), (Messages {msg(0x90, 91, 127), msg(0x80, 91, 0)}));
        QVERIFY(!widget->isShownPressed());
        QVERIFY(!p.piano.isKeyPressed(43));
        QCOMPARE(QApplication::focusWidget(), p.focus());
        p.piano.setPlayDrums(true);
        p.midi.clear();
        widget = p.find<PianoKeyWidget>(QStringLiteral("Key(12)"));
        QTest::mousePress(widget, Qt::LeftButton);
        QVERIFY(!widget->isShownPressed());
        QTest::mouseRelease(widget, Qt::LeftButton);
        QVERIFY(p.midi.messages().empty());
        QVERIFY(!p.piano.isKeyPressed(12));
    }

    // The key in the US "Z" place is X key code 52 whatever the layout prints
    // on it (W in French); Shift held makes its chord minor while it is down.
    void computerKeysGoByTheirPlace()
    {
        Program p;
        p.window.keyReceiver()->setScanCodes(keys::ScanCodes::Xkb);
        QTest::keyPress(p.focus(), Qt::Key_Shift, Qt::ShiftModifier);
        QCOMPARE(p.text("ChordType"), QStringLiteral("m"));
        p.sendKey(QEvent::KeyPress, Qt::Key_W, 52, false, Qt::ShiftModifier);
        QCOMPARE(p.midi.messages(), (Messages {msg(0x97, 55, 103), msg(0x97, 60, 103), msg(0x97, 63, 103)}));
        p.midi.clear();
        p.sendKey(QEvent::KeyRelease, Qt::Key_W, 52, false, Qt::ShiftModifier);
        QCOMPARE(p.midi.messages(), (Messages {msg(0x87, 55, 0), msg(0x87, 60, 0), msg(0x87, 63, 0)}));
        QTest::keyRelease(p.focus(), Qt::Key_Shift);
        QCOMPARE(p.text("ChordType"), QStringLiteral("maj"));
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
        QCOMPARE(p.midi.messages(), (Messages {msg(0xC0, 10, 0)}));
        // Selecting slot 2 shows that slot's values and sends its program again.
        p.midi.clear();
        p.find<QScrollBar>(QStringLiteral("MainChannel"))->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(instrument->value(), 48);
        QCOMPARE(p.text("MainChannelLabel"), QStringLiteral("Channel 2"));
        QCOMPARE(p.midi.messages().back(), msg(0xC1, 48, 0));
        p.find<QScrollBar>(QStringLiteral("MainVolume"))->setValue(100);
        QCOMPARE(p.text("MainVolumeLabel"), QStringLiteral("Volume 100"));
        QCOMPARE(p.piano.mainArea().slotVolume(2), 100);
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
        p.midi.clear();
        auto* pad = p.find(QStringLiteral("DrumKey(2)"));
        // A released pad is white with black text; a held one takes the desktop's button colours.
        const auto look = [&] {
            return std::pair(pad->palette().color(QPalette::Window), pad->palette().color(QPalette::WindowText));
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
        QCOMPARE(p.text("lblDrumKeyNumber(2)"), QStringLiteral("09"));
        QVERIFY(!p.find<QLabel>(QStringLiteral("lblDrumKeyNumber(0)"))->font().bold());
        QVERIFY(p.find<QLabel>(QStringLiteral("lblDrumKeyNumber(2)"))->font().bold());
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
        int opened = 0;
        p.window.setChordEditor([&](QWidget*) { ++opened; });
        const auto visible = [&](const char* name) { return p.find(QLatin1String(name))->isVisible(); };
        QVERIFY(visible("ChordType") && !visible("Split"));
        QTest::keyClick(p.focus(), Qt::Key_F2);
        QVERIFY(p.find<QRadioButton>(QStringLiteral("Chords1Key"))->isChecked());
        QVERIFY(visible("Split") && !visible("ChordModifier(0)") && !visible("ChordConfigurationFrame"));
        QCOMPARE(p.find<QScrollBar>(QStringLiteral("ChordChannel"))->value(), 5);
        // In one-key mode there is no chord to edit.
        QTest::keyClick(p.focus(), Qt::Key_F12, Qt::ShiftModifier);
        QCOMPARE(opened, 0);
        QTest::keyClick(p.focus(), Qt::Key_F4);
        QVERIFY(p.find<QRadioButton>(QStringLiteral("ChordsGuitar"))->isChecked());
        QVERIFY(visible("ChordConfigurationFrame"));
        QCOMPARE(p.find<QScrollBar>(QStringLiteral("ChordChannel"))->value(), 6);
        // The on-screen modifiers hold a chord type like the keys do.
        auto* ctrl = p.find<QAbstractButton>(QStringLiteral("ChordModifier(1)"));
        QTest::mousePress(ctrl, Qt::LeftButton);
        QCOMPARE(p.text("ChordType"), QStringLiteral("7"));
        QTest::mouseRelease(ctrl, Qt::LeftButton);
        QCOMPARE(p.text("ChordType"), QStringLiteral("maj"));
    }
};

QTEST_MAIN(PianoWindowTest)
#include "PianoWindowTest.moc"
