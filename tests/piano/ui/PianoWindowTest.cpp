// Drives the real main window with mouse and key events and checks what
// reaches the MIDI device.
#include "WindowProgram.h"
#include "chords/ChordArea.h"
#include "drums/DrumPads.h"
#include "piano/KeyReceiver.h"
#include "piano/Piano.h"
#include "piano/PianoKeyWidget.h"
#include "piano/PianoWindow.h"
#include "keys/VoiceArea.h"
#include "platform/RecordingMidiOutput.h"
#include "sound/MidiPort.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace clavora;
using namespace clavora::test;

class PianoWindowTest : public QObject {
    Q_OBJECT
private slots:
    void clickingAKeyPlaysItUntilTheButtonIsReleased();
    void releaseOutsideTheKeyStillStopsTheNote();
    void keyLooksPressedWhileHeld();
    void scrollBarsDriveTheirSettingsAndLabels();
    void silenceButtonSilencesAndGivesFocusBack();
    void focusReturnsAfterEveryButton();
    void navigationKeysNeverMoveTheFocus();
    void computerKeyPlaysChordArea();
    void shiftWithKeyPlaysMinorChord();
    void sameScanCodesPlaySameNotesOnEveryLayout();
    void heldKeyAutoRepeatSendsOneNoteOn();
    void heldArrowKeepsStepping();
    void warningOnceWhenNoDevice();
    void viewItemsShrinkTheWindow();
    void viewItemsInDrumsMode();
    void stealthLayout();
    void drumsModeFromKeyboardAndPads();
    void numberBoxSelectsLastDrumKey();
    void pianoKeysDoNothingInDrumsMode();
    void chordModeButtonsShowTheirControls();
    void captionsFollowTheLanguage();
    void chordEditorCommandReleasesTheModifiers();
    void captionsFitInEveryLanguage();
};

void PianoWindowTest::clickingAKeyPlaysItUntilTheButtonIsReleased()
{
    Program p;
    auto* key = p.find<PianoKeyWidget>(QStringLiteral("Key(12)"));
    QTest::mousePress(key, Qt::LeftButton);
    QCOMPARE(p.midi.messages(), (std::vector<Message>{msg(0x90, 0x3C, 0x7F)}));
    QTest::mouseRelease(key, Qt::LeftButton);
    QCOMPARE(p.midi.messages(), (std::vector<Message>{msg(0x90, 0x3C, 0x7F), msg(0x80, 0x3C, 0x00)}));
    QCOMPARE(QApplication::focusWidget(), p.focus());
}

void PianoWindowTest::releaseOutsideTheKeyStillStopsTheNote()
{
    Program p;
    auto* key = p.find<PianoKeyWidget>(QStringLiteral("Key(43)"));
    QTest::mousePress(key, Qt::RightButton);
    QTest::mouseRelease(key, Qt::RightButton, {}, QPoint(key->width() * 3, -40));
    QCOMPARE(p.midi.messages(), (std::vector<Message>{msg(0x90, 48 + 43, 127), msg(0x80, 48 + 43, 0)}));
    QVERIFY(!p.piano.isKeyPressed(43));
}

void PianoWindowTest::keyLooksPressedWhileHeld()
{
    Program p;
    auto* black = p.find<PianoKeyWidget>(QStringLiteral("Key(13)"));
    auto* cap = p.find<QLabel>(QStringLiteral("lblKey(13)"));
    QCOMPARE(cap->palette().color(QPalette::WindowText), QColor(Qt::white));
    QTest::mousePress(black, Qt::LeftButton);
    QVERIFY(black->isShownPressed());
    QCOMPARE(cap->palette().color(QPalette::WindowText), black->palette().color(QPalette::HighlightedText));
    QTest::mouseRelease(black, Qt::LeftButton);
    QVERIFY(!black->isShownPressed());
    QCOMPARE(cap->palette().color(QPalette::WindowText), QColor(Qt::white));
}

void PianoWindowTest::scrollBarsDriveTheirSettingsAndLabels()
{
    Program p;
    auto* instrument = p.find<QScrollBar>(QStringLiteral("MainInstrument"));
    auto* label = p.find<QLabel>(QStringLiteral("MainInstrumentLabel"));
    QCOMPARE(label->text(), QStringLiteral("000 - Acoustic Grand Piano"));
    instrument->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(instrument->value(), 10);
    QCOMPARE(label->text(), QStringLiteral("010 - Music Box"));
    QCOMPARE(p.midi.messages(), (std::vector<Message>{msg(0xC0, 10, 0)}));

    // Selecting slot 2 shows that slot's values and sends its program again.
    p.midi.clear();
    p.find<QScrollBar>(QStringLiteral("MainChannel"))->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(instrument->value(), 48);
    QCOMPARE(p.find<QLabel>(QStringLiteral("MainChannelLabel"))->text(), QStringLiteral("Channel 2"));
    QCOMPARE(p.midi.messages().back(), msg(0xC1, 48, 0));

    auto* volume = p.find<QScrollBar>(QStringLiteral("MainVolume"));
    volume->setValue(100);
    QCOMPARE(p.find<QLabel>(QStringLiteral("MainVolumeLabel"))->text(), QStringLiteral("Volume 100"));
    QCOMPARE(p.piano.mainArea().slotVolume(2), 100);
}

void PianoWindowTest::silenceButtonSilencesAndGivesFocusBack()
{
    Program p;
    QTest::mouseClick(p.find<QAbstractButton>(QStringLiteral("Silence")), Qt::LeftButton);
    QCOMPARE(p.midi.messages().size(), std::size_t{16});
    for (int channel = 0; channel < 16; ++channel)
        QCOMPARE(p.midi.messages()[static_cast<std::size_t>(channel)], msg(0xB0 + channel, 120, 0));
    QCOMPARE(QApplication::focusWidget(), p.focus());
}

void PianoWindowTest::focusReturnsAfterEveryButton()
{
    Program p;
    // Buttons that open a modal window of their own are left out.
    const QStringList modal{QStringLiteral("Help"), QStringLiteral("Language"), QStringLiteral("ExitProgram")};
    const QStringList modes{QStringLiteral("Chords1Key"), QStringLiteral("ChordsGuitar"), QStringLiteral("Chords3Keys")};
    int clicked = 0;
    for (QAbstractButton* button : p.window.findChildren<QAbstractButton*>()) {
        if (modal.contains(button->objectName()) || !button->isVisible())
            continue;
        p.focus()->clearFocus();
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(std::min(8, button->width() / 2), button->height() / 2));
        QVERIFY2(QApplication::focusWidget() == p.focus(), qPrintable(button->objectName()));
        ++clicked;
        if (button->objectName() == QLatin1String("PlayDrums"))
            QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());  // back to piano mode
    }
    for (const QString& name : modes) {
        p.focus()->clearFocus();
        auto* option = p.find<QRadioButton>(name);
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
        QVERIFY2(QApplication::focusWidget() == p.focus(), qPrintable(name));
    }
    QVERIFY(clicked >= 10);
    // Split shows its box through the platform.
    QCOMPARE(p.platform.boxes.size(), std::size_t{0});
}

void PianoWindowTest::navigationKeysNeverMoveTheFocus()
{
    Program p;
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Space, Qt::Key_Return, Qt::Key_Left, Qt::Key_Down}) {
        QTest::keyClick(p.focus(), key);
        QCOMPARE(QApplication::focusWidget(), p.focus());
    }
    // Space is a chord modifier, Enter a playing key: no button was pressed.
    QCOMPARE(p.piano.playDrums(), false);
    QCOMPARE(p.piano.chordArea().mode(), ChordArea::Mode::ThreeKeys);
}

void PianoWindowTest::computerKeyPlaysChordArea()
{
    Program p;
    QTest::keyPress(p.focus(), Qt::Key_Z);
    QCOMPARE(p.midi.messages(), (std::vector<Message>{msg(0x97, 0x37, 0x67), msg(0x97, 0x3C, 0x67), msg(0x97, 0x40, 0x67)}));
    p.midi.clear();
    QTest::keyRelease(p.focus(), Qt::Key_Z);
    QCOMPARE(p.midi.messages(), (std::vector<Message>{msg(0x87, 0x37, 0), msg(0x87, 0x3C, 0), msg(0x87, 0x40, 0)}));
}

void PianoWindowTest::shiftWithKeyPlaysMinorChord()
{
    Program p;
    QTest::keyPress(p.focus(), Qt::Key_Shift, Qt::ShiftModifier);
    QCOMPARE(p.find<QLabel>(QStringLiteral("ChordType"))->text(), QStringLiteral("m"));
    QTest::keyPress(p.focus(), Qt::Key_Z, Qt::ShiftModifier);
    QCOMPARE(p.midi.messages(), (std::vector<Message>{msg(0x97, 55, 0x67), msg(0x97, 60, 0x67), msg(0x97, 63, 0x67)}));
    QTest::keyRelease(p.focus(), Qt::Key_Shift);
    QCOMPARE(p.find<QLabel>(QStringLiteral("ChordType"))->text(), QStringLiteral("maj"));
}

void PianoWindowTest::sameScanCodesPlaySameNotesOnEveryLayout()
{
    // The key in the US "Z" position has X key code 52 whatever the layout
    // prints on it (W in French, Y in German); the comma position is 59.
    Program p;
    p.window.keyReceiver()->setScanCodes(keys::ScanCodes::Xkb);
    for (int qtKey : {int(Qt::Key_Z), int(Qt::Key_W), int(Qt::Key_Y)}) {
        p.midi.clear();
        p.sendKey(QEvent::KeyPress, qtKey, 52);
        p.sendKey(QEvent::KeyRelease, qtKey, 52);
        QCOMPARE(p.midi.messages().front(), msg(0x97, 0x37, 0x67));
    }
    for (int qtKey : {int(Qt::Key_Comma), int(Qt::Key_Semicolon), int(Qt::Key_M)}) {
        p.midi.clear();
        p.sendKey(QEvent::KeyPress, qtKey, 59);
        p.sendKey(QEvent::KeyRelease, qtKey, 59);
        QCOMPARE(p.midi.messages(), (std::vector<Message>{msg(0x90, 60, 127), msg(0x80, 60, 0)}));
    }
}

void PianoWindowTest::heldKeyAutoRepeatSendsOneNoteOn()
{
    Program p;
    p.window.keyReceiver()->setScanCodes(keys::ScanCodes::Xkb);
    p.sendKey(QEvent::KeyPress, Qt::Key_Q, 24);
    for (int i = 0; i < 5; ++i) {
        p.sendKey(QEvent::KeyRelease, Qt::Key_Q, 24, true);
        p.sendKey(QEvent::KeyPress, Qt::Key_Q, 24, true);
    }
    QCOMPARE(p.midi.messages(), (std::vector<Message>{msg(0x90, 48 + 17, 127)}));
    p.sendKey(QEvent::KeyRelease, Qt::Key_Q, 24);
    QCOMPARE(p.midi.messages().back(), msg(0x80, 48 + 17, 0));
    QCOMPARE(p.midi.messages().size(), std::size_t{2});
}

void PianoWindowTest::heldArrowKeepsStepping()
{
    Program p;
    p.sendKey(QEvent::KeyPress, Qt::Key_Right, 114);
    for (int i = 0; i < 4; ++i) {
        p.sendKey(QEvent::KeyRelease, Qt::Key_Right, 114, true);
        p.sendKey(QEvent::KeyPress, Qt::Key_Right, 114, true);
    }
    p.sendKey(QEvent::KeyRelease, Qt::Key_Right, 114);
    QCOMPARE(p.find<QScrollBar>(QStringLiteral("MainInstrument"))->value(), 5);
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

void PianoWindowTest::viewItemsShrinkTheWindow()
{
    Program p;
    const int design = p.window.height();
    const int pixelsPerTwip15 = p.window.logicalDpiY();
    QCOMPARE(pixelsPerTwip15, 96);
    p.action("ShowToolbar")->trigger();
    QCOMPARE(p.window.height(), design - 61);  // 915 twips
    QVERIFY(!p.find(QStringLiteral("Help"))->isVisible());
    QCOMPARE(p.find(QStringLiteral("MainPanelFrame"))->y(), 0);
    p.action("ShowMainPanel")->trigger();
    QCOMPARE(p.window.height(), design - 503);  // 7545 twips
    QVERIFY(!p.find(QStringLiteral("MainPanel"))->isVisible());
    p.action("ShowToolbar")->trigger();
    QCOMPARE(p.window.height(), design - 442);  // 6630 twips
    QCOMPARE(p.find(QStringLiteral("MainPanelFrame"))->y(), 61);
    p.action("ShowMainPanel")->trigger();
    QCOMPARE(p.window.height(), design);
    QVERIFY(p.find(QStringLiteral("MainPanel"))->isVisible());
    QCOMPARE(QApplication::focusWidget(), p.focus());
}

void PianoWindowTest::viewItemsInDrumsMode()
{
    Program p;
    const int design = p.window.height();
    p.piano.keyDown(keys::kShift, keys::kShiftMask);
    p.piano.keyDown(keys::kF(4), keys::kShiftMask);
    QVERIFY(p.find(QStringLiteral("DrumKeysPanel"))->isVisible());
    QVERIFY(!p.find(QStringLiteral("MainPanel"))->isVisible());
    QVERIFY(p.find<QCheckBox>(QStringLiteral("PlayDrums"))->isChecked());
    p.action("ShowMainPanel")->trigger();
    QVERIFY(!p.find(QStringLiteral("DrumKeysPanel"))->isVisible());
    QVERIFY(!p.find(QStringLiteral("DrumNamesPanel"))->isVisible());
    QVERIFY(!p.find(QStringLiteral("MainPanel"))->isVisible());
    QCOMPARE(p.window.height(), design - 442);
    p.action("ShowToolbar")->trigger();
    QCOMPARE(p.window.height(), design - 503);
    p.action("ShowMainPanel")->trigger();
    p.action("ShowToolbar")->trigger();
    QVERIFY(p.find(QStringLiteral("DrumNamesPanel"))->isVisible());
    QCOMPARE(p.window.height(), design);
}

void PianoWindowTest::stealthLayout()
{
    Program p(QStringLiteral("/STEALTH My Title"));
    QCOMPARE(p.window.windowTitle(), QStringLiteral(" My Title"));
    QVERIFY(p.window.isStealth());
    QVERIFY(p.window.width() <= 1 && p.window.height() <= 1);
    p.action("ShowToolbar")->trigger();
    QCOMPARE(p.window.windowTitle(), QStringLiteral(" My Title"));
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
    QVERIFY(p.piano.playDrums());
    p.midi.clear();
    QTest::keyPress(p.focus(), Qt::Key_Z);
    QCOMPARE(p.midi.messages(), (std::vector<Message>{msg(0x99, 0x29, 0x4F)}));
    QTest::keyRelease(p.focus(), Qt::Key_Z);
    p.midi.clear();
    auto* pad = p.find(QStringLiteral("DrumKey(2)"));
    QTest::mousePress(pad, Qt::LeftButton, {}, pad->rect().center());
    QTest::mouseRelease(pad, Qt::LeftButton, {}, pad->rect().center());
    QCOMPARE(p.midi.messages(), (std::vector<Message>{msg(0x99, 0x29, 0x7F), msg(0x89, 0x29, 0)}));
    QCOMPARE(QApplication::focusWidget(), p.focus());
    // Keypad 0 then 9: the last pad now plays the Pedal Hi-Hat.
    QTest::keyClick(p.focus(), Qt::Key_0, Qt::KeypadModifier);
    QTest::keyClick(p.focus(), Qt::Key_9, Qt::KeypadModifier);
    QCOMPARE(p.find<QLabel>(QStringLiteral("lblDrumKeyNumber(2)"))->text(), QStringLiteral("09"));
    QVERIFY(!p.find<QLabel>(QStringLiteral("lblDrumKeyNumber(0)"))->font().bold());
    QVERIFY(p.find<QLabel>(QStringLiteral("lblDrumKeyNumber(2)"))->font().bold());
}

void PianoWindowTest::numberBoxSelectsLastDrumKey()
{
    Program p;
    p.piano.setPlayDrums(true);
    QSignalSpy editor(&p.piano, &Piano::drumEditorRequested);
    auto* box = p.find(QStringLiteral("DrumKeyNumber(30)"));
    QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
    QCOMPARE(p.piano.drumPads().lastDrumKey(), 30);
    QCOMPARE(editor.count(), 1);
    QVERIFY(p.midi.messages().empty());
}

void PianoWindowTest::pianoKeysDoNothingInDrumsMode()
{
    Program p;
    p.piano.setPlayDrums(true);
    auto* key = p.find<PianoKeyWidget>(QStringLiteral("Key(12)"));
    QTest::mousePress(key, Qt::LeftButton);
    QTest::mouseRelease(key, Qt::LeftButton);
    QVERIFY(p.midi.messages().empty());
    QCOMPARE(QApplication::focusWidget(), p.focus());
}

void PianoWindowTest::chordModeButtonsShowTheirControls()
{
    Program p;
    QVERIFY(p.find<QRadioButton>(QStringLiteral("Chords3Keys"))->isChecked());
    QVERIFY(p.find(QStringLiteral("ChordType"))->isVisible());
    QVERIFY(!p.find(QStringLiteral("Split"))->isVisible());
    QTest::keyClick(p.focus(), Qt::Key_F2);
    QVERIFY(p.find<QRadioButton>(QStringLiteral("Chords1Key"))->isChecked());
    QVERIFY(p.find(QStringLiteral("Split"))->isVisible());
    QVERIFY(p.find(QStringLiteral("SplitLabel"))->isVisible());
    QVERIFY(!p.find(QStringLiteral("ChordModifier(0)"))->isVisible());
    QVERIFY(!p.find(QStringLiteral("ChordConfigurationFrame"))->isVisible());
    QCOMPARE(p.find<QScrollBar>(QStringLiteral("ChordChannel"))->value(), 5);
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

void PianoWindowTest::captionsFollowTheLanguage()
{
    Program p;
    p.piano.setLanguage(3);
    QCOMPARE(p.find<QLabel>(QStringLiteral("MainVolumeLabel"))->text(), QStringLiteral("Volumen 127"));
    QCOMPARE(p.find<QLabel>(QStringLiteral("ChordVolumeLabel"))->text(), QStringLiteral("Volumen 103"));
    QCOMPARE(p.find<QLabel>(QStringLiteral("DrumsVolumeLabel"))->text(), QStringLiteral("Volumen 127"));
    QCOMPARE(p.find<QLabel>(QStringLiteral("MainChannelLabel"))->text(), QStringLiteral("Canal 1"));
    QCOMPARE(p.action("View")->text(), QStringLiteral("&Ver"));
    QCOMPARE(p.action("mnuExit")->text(), QStringLiteral("Sai&r"));
    QCOMPARE(p.find<QAbstractButton>(QStringLiteral("PlayDrums"))->text(), QStringLiteral(" Solamente Batería"));
    QCOMPARE(p.find<QAbstractButton>(QStringLiteral("ChordsGuitar"))->text(), QStringLiteral(" Tocar Acordes como una Guitarra"));

    p.piano.setLanguage(2);
    QCOMPARE(p.find<QLabel>(QStringLiteral("MainVoicesLabel"))->text(), QStringLiteral("Vozes 1"));
    QCOMPARE(p.find<QLabel>(QStringLiteral("MainOctaveLabel"))->text(), QStringLiteral("Oitava 4"));
    QCOMPARE(p.find<QAbstractButton>(QStringLiteral("Silence"))->text(), QStringLiteral("Silenciar"));
    QCOMPARE(p.window.windowTitle(), QStringLiteral("Clavora 2.6"));

    p.piano.setLanguage(1);
    QCOMPARE(p.find<QLabel>(QStringLiteral("MainVolumeLabel"))->text(), QStringLiteral("Volume 127"));
    QCOMPARE(p.action("mnuMIDI")->text(), QStringLiteral("&MIDI Out Device..."));
}

void PianoWindowTest::chordEditorCommandReleasesTheModifiers()
{
    Program p;
    int opened = 0;
    p.window.setChordEditor([&](QWidget*) { ++opened; });
    QTest::keyPress(p.focus(), Qt::Key_Shift, Qt::ShiftModifier);
    QTest::keyClick(p.focus(), Qt::Key_F12, Qt::ShiftModifier);
    QCOMPARE(opened, 1);
    // After the editor closes every modifier is up, even one still held.
    QCOMPARE(p.find<QLabel>(QStringLiteral("ChordType"))->text(), QStringLiteral("maj"));
    QVERIFY(!p.piano.chordArea().isModifierDown(ChordArea::ShiftModifier));
    QCOMPARE(QApplication::focusWidget(), p.focus());
    // In one-key mode there is nothing to edit.
    QTest::keyRelease(p.focus(), Qt::Key_Shift);
    QTest::keyClick(p.focus(), Qt::Key_F2);
    QTest::keyClick(p.focus(), Qt::Key_F12, Qt::ShiftModifier);
    QCOMPARE(opened, 1);
}

void PianoWindowTest::captionsFitInEveryLanguage()
{
    Program p;
    for (int language = 1; language <= 3; ++language) {
        p.piano.setLanguage(language);
        for (QAbstractButton* button : p.window.findChildren<QAbstractButton*>()) {
            if (button->text().isEmpty())
                continue;
            const QString what = QStringLiteral("%1 in language %2").arg(button->objectName()).arg(language);
            // Tool buttons ask for generous margins; their text only has to fit.
            const int needed = qobject_cast<QToolButton*>(button)
                ? button->fontMetrics().horizontalAdvance(button->text()) + 4
                : button->sizeHint().width();
            QVERIFY2(needed <= button->width(), qPrintable(what + QStringLiteral(": %1 > %2").arg(needed).arg(button->width())));
        }
    }
}

QTEST_MAIN(PianoWindowTest)
#include "PianoWindowTest.moc"
