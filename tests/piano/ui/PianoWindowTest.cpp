// Drives the real main window with mouse and key events and checks what
// reaches the MIDI device.
#include "WindowProgram.h"
#include "chords/ChordArea.h"
#include "drums/DrumPads.h"
#include "piano/KeyReceiver.h"
#include "keys/VoiceArea.h"
#include "piano/PianoKeyWidget.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolButton>

using namespace clavora;
using namespace clavora::test;
using Messages = std::vector<Message>;

Q_DECLARE_METATYPE(Messages)

class PianoWindowTest : public QObject {
    Q_OBJECT
private slots:
    void mouseOnAKey_data();
    void mouseOnAKey();
    void computerKeys_data();
    void computerKeys();
    void viewItemsShrinkTheWindow_data();
    void viewItemsShrinkTheWindow();
    void scrollBarsDriveTheirSettingsAndLabels();
    void focusStaysOnTheKeysAfterButtonsAndNavigationKeys();
    void warningOnceWhenNoDevice();
    void stealthLayout();
    void drumsModeFromKeyboardAndPads();
    void chordModeButtonsShowTheirControls();
    void captionsFitInEveryLanguage();
};

void PianoWindowTest::mouseOnAKey_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("releaseAt");  // relative to the key; null for its middle
    QTest::addColumn<bool>("drums");
    QTest::addColumn<Messages>("pressed");
    QTest::addColumn<Messages>("released");

    QTest::newRow("white key, left") << 12 << Qt::LeftButton << QPoint() << false << Messages{msg(0x90, 60, 127)}
                                     << Messages{msg(0x80, 60, 0)};
    QTest::newRow("right button, let go elsewhere") << 43 << Qt::RightButton << QPoint(200, -40) << false
                                                    << Messages{msg(0x90, 91, 127)} << Messages{msg(0x80, 91, 0)};
    QTest::newRow("drums mode: silent") << 12 << Qt::LeftButton << QPoint() << true << Messages{} << Messages{};
}

void PianoWindowTest::mouseOnAKey()
{
    QFETCH(int, key);
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, releaseAt);
    QFETCH(bool, drums);
    QFETCH(Messages, pressed);
    QFETCH(Messages, released);

    Program p;
    p.piano.setPlayDrums(drums);
    auto* widget = p.find<PianoKeyWidget>(QStringLiteral("Key(%1)").arg(key));
    QTest::mousePress(widget, button);
    QCOMPARE(p.midi.messages(), pressed);
    QCOMPARE(widget->isShownPressed(), !drums);
    p.midi.clear();
    QTest::mouseRelease(widget, button, {}, releaseAt.isNull() ? widget->rect().center() : releaseAt);
    QCOMPARE(p.midi.messages(), released);
    QVERIFY(!widget->isShownPressed());
    QVERIFY(!p.piano.isKeyPressed(key));
    QCOMPARE(QApplication::focusWidget(), p.focus());
}

void PianoWindowTest::computerKeys_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<quint32>("scanCode");  // X key code; 0 for the Qt key alone
    QTest::addColumn<bool>("shift");
    QTest::addColumn<Messages>("pressed");
    QTest::addColumn<Messages>("released");

    const Messages cMajor{msg(0x97, 55, 103), msg(0x97, 60, 103), msg(0x97, 64, 103)};
    const Messages cMajorOff{msg(0x87, 55, 0), msg(0x87, 60, 0), msg(0x87, 64, 0)};
    QTest::newRow("Z: C major") << int(Qt::Key_Z) << 0u << false << cMajor << cMajorOff;
    QTest::newRow("Shift+Z: C minor") << int(Qt::Key_Z) << 0u << true
                                      << Messages{msg(0x97, 55, 103), msg(0x97, 60, 103), msg(0x97, 63, 103)}
                                      << Messages{msg(0x87, 55, 0), msg(0x87, 60, 0), msg(0x87, 63, 0)};
    // The key in the US "Z" place is X key code 52 whatever the layout prints
    // on it (W in French); the comma place is 59.
    QTest::newRow("French W in the Z place") << int(Qt::Key_W) << 52u << false << cMajor << cMajorOff;
    QTest::newRow("French ; in the comma place") << int(Qt::Key_Semicolon) << 59u << false
                                                 << Messages{msg(0x90, 60, 127)} << Messages{msg(0x80, 60, 0)};
}

void PianoWindowTest::computerKeys()
{
    QFETCH(int, qtKey);
    QFETCH(quint32, scanCode);
    QFETCH(bool, shift);
    QFETCH(Messages, pressed);
    QFETCH(Messages, released);

    Program p;
    const Qt::KeyboardModifiers modifiers = shift ? Qt::ShiftModifier : Qt::NoModifier;
    auto* chordType = p.find<QLabel>(QStringLiteral("ChordType"));
    if (shift) {
        QTest::keyPress(p.focus(), Qt::Key_Shift, modifiers);
        QCOMPARE(chordType->text(), QStringLiteral("m"));
    }
    if (scanCode) {
        p.window.keyReceiver()->setScanCodes(keys::ScanCodes::Xkb);
        p.sendKey(QEvent::KeyPress, qtKey, scanCode, false, modifiers);
        QCOMPARE(p.midi.messages(), pressed);
        p.midi.clear();
        p.sendKey(QEvent::KeyRelease, qtKey, scanCode, false, modifiers);
    } else {
        QTest::keyPress(p.focus(), Qt::Key(qtKey), modifiers);
        QCOMPARE(p.midi.messages(), pressed);
        p.midi.clear();
        QTest::keyRelease(p.focus(), Qt::Key(qtKey), modifiers);
    }
    QCOMPARE(p.midi.messages(), released);
    QTest::keyRelease(p.focus(), Qt::Key_Shift);
    QCOMPARE(chordType->text(), QStringLiteral("maj"));
}

void PianoWindowTest::viewItemsShrinkTheWindow_data()
{
    QTest::addColumn<bool>("drums");
    QTest::addColumn<QStringList>("items");  // View items chosen in turn
    QTest::addColumn<int>("shrunk");         // pixels at 96 dpi: 15 twips each
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("hidden");

    QTest::newRow("no toolbar") << false << QStringList{"ShowToolbar"} << 61 << QStringList{"MainPanel"}
                                << QStringList{"Help"};
    QTest::newRow("no toolbar, no panel") << false << QStringList{"ShowToolbar", "ShowMainPanel"} << 503
                                          << QStringList{} << QStringList{"MainPanel", "Help"};
    QTest::newRow("no panel") << false << QStringList{"ShowToolbar", "ShowMainPanel", "ShowToolbar"} << 442
                              << QStringList{"Help"} << QStringList{"MainPanel"};
    QTest::newRow("all back") << false << QStringList{"ShowToolbar", "ShowMainPanel", "ShowToolbar", "ShowMainPanel"}
                              << 0 << QStringList{"MainPanel", "Help"} << QStringList{};
    QTest::newRow("drums") << true << QStringList{} << 0 << QStringList{"DrumKeysPanel", "DrumNamesPanel"}
                           << QStringList{"MainPanel"};
    QTest::newRow("drums, no panel") << true << QStringList{"ShowMainPanel"} << 442 << QStringList{"Help"}
                                     << QStringList{"DrumKeysPanel", "DrumNamesPanel", "MainPanel"};
    QTest::newRow("drums, nothing") << true << QStringList{"ShowMainPanel", "ShowToolbar"} << 503 << QStringList{}
                                    << QStringList{"DrumKeysPanel", "Help"};
    QTest::newRow("drums, all back") << true << QStringList{"ShowMainPanel", "ShowToolbar", "ShowMainPanel",
                                                            "ShowToolbar"}
                                     << 0 << QStringList{"DrumKeysPanel", "DrumNamesPanel"} << QStringList{};
}

void PianoWindowTest::viewItemsShrinkTheWindow()
{
    QFETCH(bool, drums);
    QFETCH(QStringList, items);
    QFETCH(int, shrunk);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, hidden);

    Program p;
    QCOMPARE(p.window.logicalDpiY(), 96);
    const int design = p.window.height();
    if (drums) {
        QTest::keyPress(p.focus(), Qt::Key_Shift, Qt::ShiftModifier);
        QTest::keyClick(p.focus(), Qt::Key_F4, Qt::ShiftModifier);
        QTest::keyRelease(p.focus(), Qt::Key_Shift);
        QVERIFY(p.find<QCheckBox>(QStringLiteral("PlayDrums"))->isChecked());
    }
    for (const QString& item : items)
        p.action(qPrintable(item))->trigger();
    QCOMPARE(p.window.height(), design - shrunk);
    for (const QString& name : shown)
        QVERIFY2(p.find(name)->isVisible(), qPrintable(name));
    for (const QString& name : hidden)
        QVERIFY2(!p.find(name)->isVisible(), qPrintable(name));
    const bool toolbar = items.count(QStringLiteral("ShowToolbar")) % 2 == 0;
    QCOMPARE(p.find(QStringLiteral("MainPanelFrame"))->y(), toolbar ? 61 : 0);
    QCOMPARE(QApplication::focusWidget(), p.focus());
}

void PianoWindowTest::scrollBarsDriveTheirSettingsAndLabels()
{
    Program p;
    auto* instrument = p.find<QScrollBar>(QStringLiteral("MainInstrument"));
    auto* label = p.find<QLabel>(QStringLiteral("MainInstrumentLabel"));
    QCOMPARE(label->text(), QStringLiteral("000 - Acoustic Grand Piano"));
    instrument->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(label->text(), QStringLiteral("010 - Music Box"));
    QCOMPARE(p.midi.messages(), (Messages{msg(0xC0, 10, 0)}));

    // Selecting slot 2 shows that slot's values and sends its program again.
    p.midi.clear();
    p.find<QScrollBar>(QStringLiteral("MainChannel"))->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(instrument->value(), 48);
    QCOMPARE(p.find<QLabel>(QStringLiteral("MainChannelLabel"))->text(), QStringLiteral("Channel 2"));
    QCOMPARE(p.midi.messages().back(), msg(0xC1, 48, 0));
    p.find<QScrollBar>(QStringLiteral("MainVolume"))->setValue(100);
    QCOMPARE(p.find<QLabel>(QStringLiteral("MainVolumeLabel"))->text(), QStringLiteral("Volume 100"));
    QCOMPARE(p.piano.mainArea().slotVolume(2), 100);
}

void PianoWindowTest::focusStaysOnTheKeysAfterButtonsAndNavigationKeys()
{
    Program p;
    // Buttons that open a modal window of their own are left out.
    const QStringList modal{QStringLiteral("Help"), QStringLiteral("Language"), QStringLiteral("ExitProgram")};
    int clicked = 0;
    for (QAbstractButton* button : p.window.findChildren<QAbstractButton*>()) {
        if (modal.contains(button->objectName()) || !button->isVisible())
            continue;
        p.focus()->clearFocus();
        p.midi.clear();
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(std::min(8, button->width() / 2), button->height() / 2));
        QVERIFY2(QApplication::focusWidget() == p.focus(), qPrintable(button->objectName()));
        ++clicked;
        if (button->objectName() == QLatin1String("Silence")) {
            QCOMPARE(p.midi.messages().size(), std::size_t{16});
            for (int channel = 0; channel < 16; ++channel)
                QCOMPARE(p.midi.messages()[std::size_t(channel)], msg(0xB0 + channel, 120, 0));
        }
        if (button->objectName() == QLatin1String("PlayDrums"))
            QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());  // back to piano mode
    }
    QVERIFY(clicked >= 10);
    QCOMPARE(p.platform.boxes.size(), std::size_t{0});

    p.find<QRadioButton>(QStringLiteral("Chords3Keys"))->click();
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Space, Qt::Key_Return, Qt::Key_Left, Qt::Key_Down}) {
        QTest::keyClick(p.focus(), key);
        QCOMPARE(QApplication::focusWidget(), p.focus());
    }
    // Space is a chord modifier, Enter a playing key: no button was pressed.
    QCOMPARE(p.piano.playDrums(), false);
    QCOMPARE(p.piano.chordArea().mode(), ChordArea::Mode::ThreeKeys);
}

void PianoWindowTest::warningOnceWhenNoDevice()
{
    Program p(QString(), {0});
    QCOMPARE(p.platform.boxes.size(), std::size_t{1});
    QCOMPARE(p.platform.boxes[0].title, std::string("Warning"));
    QCOMPARE(p.platform.boxes[0].icon, MessageIcon::Exclamation);
    QTest::mouseClick(p.find<PianoKeyWidget>(QStringLiteral("Key(20)")), Qt::LeftButton);
    QVERIFY(p.midi.messages().empty());
    QCOMPARE(p.platform.boxes.size(), std::size_t{1});
}

void PianoWindowTest::stealthLayout()
{
    Program p(QStringLiteral("/STEALTH My Title"));
    QCOMPARE(p.window.windowTitle(), QStringLiteral(" My Title"));
    QVERIFY(p.window.width() <= 1 && p.window.height() <= 1);
    p.action("ShowToolbar")->trigger();
    QVERIFY(p.window.height() <= 1);
    // The keyboard still plays.
    QTest::keyClick(p.focus(), Qt::Key_Comma);
    QCOMPARE(p.midi.messages().front(), msg(0x90, 60, 127));

    Program normal(QStringLiteral("-STEALTH My Title"));
    QVERIFY(!normal.window.isStealth());
    QCOMPARE(normal.window.windowTitle(), QStringLiteral("Clavora 2.6"));
}

void PianoWindowTest::drumsModeFromKeyboardAndPads()
{
    Program p;
    QTest::keyPress(p.focus(), Qt::Key_Shift, Qt::ShiftModifier);
    QTest::keyClick(p.focus(), Qt::Key_F4, Qt::ShiftModifier);
    QTest::keyRelease(p.focus(), Qt::Key_Shift);
    p.midi.clear();
    QTest::keyPress(p.focus(), Qt::Key_Z);
    QCOMPARE(p.midi.messages(), (Messages{msg(0x99, 0x29, 0x4F)}));
    QTest::keyRelease(p.focus(), Qt::Key_Z);
    p.midi.clear();
    auto* pad = p.find(QStringLiteral("DrumKey(2)"));
    QTest::mousePress(pad, Qt::LeftButton, {}, pad->rect().center());
    QTest::mouseRelease(pad, Qt::LeftButton, {}, pad->rect().center());
    QCOMPARE(p.midi.messages(), (Messages{msg(0x99, 0x29, 0x7F), msg(0x89, 0x29, 0)}));
    QCOMPARE(QApplication::focusWidget(), p.focus());
    // Keypad 0 then 9: the last pad now plays the Pedal Hi-Hat.
    QTest::keyClick(p.focus(), Qt::Key_0, Qt::KeypadModifier);
    QTest::keyClick(p.focus(), Qt::Key_9, Qt::KeypadModifier);
    QCOMPARE(p.find<QLabel>(QStringLiteral("lblDrumKeyNumber(2)"))->text(), QStringLiteral("09"));
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

void PianoWindowTest::chordModeButtonsShowTheirControls()
{
    Program p;
    int opened = 0;
    p.window.setChordEditor([&](QWidget*) { ++opened; });
    QVERIFY(p.find(QStringLiteral("ChordType"))->isVisible());
    QVERIFY(!p.find(QStringLiteral("Split"))->isVisible());
    QTest::keyClick(p.focus(), Qt::Key_F2);
    QVERIFY(p.find<QRadioButton>(QStringLiteral("Chords1Key"))->isChecked());
    QVERIFY(p.find(QStringLiteral("Split"))->isVisible());
    QVERIFY(!p.find(QStringLiteral("ChordModifier(0)"))->isVisible());
    QVERIFY(!p.find(QStringLiteral("ChordConfigurationFrame"))->isVisible());
    QCOMPARE(p.find<QScrollBar>(QStringLiteral("ChordChannel"))->value(), 5);
    // In one-key mode there is no chord to edit.
    QTest::keyClick(p.focus(), Qt::Key_F12, Qt::ShiftModifier);
    QCOMPARE(opened, 0);
    QTest::keyClick(p.focus(), Qt::Key_F4);
    QVERIFY(p.find<QRadioButton>(QStringLiteral("ChordsGuitar"))->isChecked());
    QVERIFY(p.find(QStringLiteral("ChordConfigurationFrame"))->isVisible());
    QCOMPARE(p.find<QScrollBar>(QStringLiteral("ChordChannel"))->value(), 6);
    // The on-screen modifiers hold a chord type like the keys do.
    auto* ctrl = p.find<QAbstractButton>(QStringLiteral("ChordModifier(1)"));
    QTest::mousePress(ctrl, Qt::LeftButton);
    QCOMPARE(p.find<QLabel>(QStringLiteral("ChordType"))->text(), QStringLiteral("7"));
    QTest::mouseRelease(ctrl, Qt::LeftButton);
    QCOMPARE(p.find<QLabel>(QStringLiteral("ChordType"))->text(), QStringLiteral("maj"));
}

void PianoWindowTest::captionsFitInEveryLanguage()
{
    Program p;
    for (int language = 1; language <= 3; ++language) {
        p.piano.setLanguage(language);
        for (QAbstractButton* button : p.window.findChildren<QAbstractButton*>()) {
            if (button->text().isEmpty())
                continue;
            // Tool buttons ask for generous margins; their text only has to fit.
            const int needed = qobject_cast<QToolButton*>(button)
                ? button->fontMetrics().horizontalAdvance(button->text()) + 4
                : button->sizeHint().width();
            QVERIFY2(needed <= button->width(), qPrintable(QStringLiteral("%1 in language %2: %3 > %4")
                                                              .arg(button->objectName()).arg(language)
                                                              .arg(needed).arg(button->width())));
        }
    }
}

QTEST_MAIN(PianoWindowTest)
#include "PianoWindowTest.moc"
