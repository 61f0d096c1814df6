// The drum-key editor on its own: what it shows and stores, how it closes,
// and how it looks in every language.
#include "FakePlatform.h"
#include "LayoutChecks.h"
#include "drums/DrumKeyDialog.h"
#include "drums/DrumPads.h"
#include "platform/RecordingMidiOutput.h"
#include "sound/MidiPort.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace clavora;
using Message = RecordingMidiOutput::Message;

namespace {

// The default drum map on an open recording device.
struct Drums {
    Drums()
    {
        port.openMidiOut();
        pads.defaultDrumSettings();
    }

    std::unique_ptr<DrumKeyDialog> open(int lastPad = 0)
    {
        pads.setLastDrumKey(lastPad);
        auto dialog = std::make_unique<DrumKeyDialog>(pads, language);
        dialog->show();
        dialog->activateWindow();
        static_cast<void>(QTest::qWaitForWindowActive(dialog.get()));
        return dialog;
    }

    // Sound number and intensity of every pad.
    std::vector<std::pair<int, bool>> map() const
    {
        std::vector<std::pair<int, bool>> all;
        for (int pad = 0; pad < DrumPads::kPadCount; ++pad)
            all.emplace_back(pads.soundNumber(pad), pads.isHigh(pad));
        return all;
    }

    RecordingMidiOutput midi;
    test::FakePlatform platform;
    sound::MidiPort port{midi, platform};
    int language = 1;
    DrumPads pads{port, language};
};

QComboBox* list(QWidget* dialog, const char* name)
{
    return dialog->findChild<QComboBox*>(QLatin1String(name));
}

} // namespace

class DrumKeyDialogTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnTheLastPad_data();
    void opensOnTheLastPad();
    void choosingAnotherKeyReloadsIt();
    void modifyStoresSoundAndIntensity_data();
    void modifyStoresSoundAndIntensity();
    void closingStoresNothing_data();
    void closingStoresNothing();
    void captionsAndLists_data();
    void captionsAndLists();
    void tidyInEveryLanguage();
};

void DrumKeyDialogTest::opensOnTheLastPad_data()
{
    QTest::addColumn<int>("pad");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("sound");
    QTest::addColumn<QString>("intensity");

    QTest::newRow("C") << 2 << "C" << "06 - Low Floor Tom" << "High";
    QTest::newRow("Z") << 0 << "Z" << "06 - Low Floor Tom" << "Normal";
    QTest::newRow("Enter") << 21 << "Enter" << "22 - Crash Cymbal 2" << "High";
    QTest::newRow("O") << 30 << "O" << "11 - Open Hi-Hat" << "Normal";
    QTest::newRow("BackSpace") << 46 << "BackSpace" << "20 - Splash Cymbal" << "High";
}

void DrumKeyDialogTest::opensOnTheLastPad()
{
    QFETCH(int, pad);
    QFETCH(QString, key);
    QFETCH(QString, sound);
    QFETCH(QString, intensity);

    Drums d;
    const auto dialog = d.open(pad);
    QCOMPARE(list(dialog.get(), "Key")->currentText(), key);
    QCOMPARE(list(dialog.get(), "DrumSound")->currentText(), sound);
    QCOMPARE(list(dialog.get(), "Intensity")->currentText(), intensity);
}

void DrumKeyDialogTest::choosingAnotherKeyReloadsIt()
{
    Drums d;
    const auto dialog = d.open(2);
    list(dialog.get(), "DrumSound")->setCurrentIndex(30);
    list(dialog.get(), "Intensity")->setCurrentIndex(0);
    list(dialog.get(), "Key")->setCurrentIndex(22);  // Q: Acoustic Bass Drum, Normal
    QCOMPARE(list(dialog.get(), "DrumSound")->currentIndex(), 0);
    QCOMPARE(list(dialog.get(), "Intensity")->currentText(), QStringLiteral("Normal"));
    list(dialog.get(), "Key")->setCurrentIndex(2);
    QCOMPARE(list(dialog.get(), "DrumSound")->currentIndex(), 6);
    QCOMPARE(list(dialog.get(), "Intensity")->currentText(), QStringLiteral("High"));
    QCOMPARE(d.map(), Drums().map());
}

void DrumKeyDialogTest::modifyStoresSoundAndIntensity_data()
{
    QTest::addColumn<int>("lastPad");
    QTest::addColumn<int>("pad");        // chosen in Key
    QTest::addColumn<int>("sound");
    QTest::addColumn<int>("intensity");  // 0 Normal, 1 High
    QTest::addColumn<Message>("press");  // what the pad then plays

    QTest::newRow("Z: Open Triangle, High") << 0 << 0 << 46 << 1 << Message{0, 0x99, 81, 127};
    QTest::newRow("Z: Open Triangle, Normal") << 0 << 0 << 46 << 0 << Message{0, 0x99, 81, 79};
    QTest::newRow("C: Acoustic Bass Drum, Normal") << 2 << 2 << 0 << 0 << Message{0, 0x99, 35, 79};
    QTest::newRow("another key than the last") << 0 << 46 << 9 << 0 << Message{0, 0x99, 44, 79};
}

void DrumKeyDialogTest::modifyStoresSoundAndIntensity()
{
    QFETCH(int, lastPad);
    QFETCH(int, pad);
    QFETCH(int, sound);
    QFETCH(int, intensity);
    QFETCH(Message, press);

    Drums d;
    const auto dialog = d.open(lastPad);
    list(dialog.get(), "Key")->setCurrentIndex(pad);
    list(dialog.get(), "DrumSound")->setCurrentIndex(sound);
    list(dialog.get(), "Intensity")->setCurrentIndex(intensity);
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Modify")), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(d.pads.lastDrumKey(), lastPad);
    QCOMPARE(d.pads.numberText(pad), QStringLiteral("%1").arg(sound, 2, 10, QLatin1Char('0')));
    QCOMPARE(d.pads.isHigh(pad), intensity == 1);
    d.midi.clear();
    d.pads.press(pad);
    QCOMPARE(d.midi.messages(), std::vector<Message>{press});
}

void DrumKeyDialogTest::closingStoresNothing_data()
{
    QTest::addColumn<QString>("how");
    for (const char* how : {"CloseWindow", "Esc", "title bar"})
        QTest::newRow(how) << how;
}

void DrumKeyDialogTest::closingStoresNothing()
{
    QFETCH(QString, how);

    Drums d;
    const auto dialog = d.open(5);
    list(dialog.get(), "DrumSound")->setCurrentIndex(40);
    list(dialog.get(), "Intensity")->setCurrentIndex(0);
    if (how == QLatin1String("CloseWindow"))
        QTest::mouseClick(dialog->findChild<QPushButton*>(how), Qt::LeftButton);
    else if (how == QLatin1String("Esc"))
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Escape);
    else
        dialog->close();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(d.map(), Drums().map());
}

void DrumKeyDialogTest::captionsAndLists_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("control");   // "" for the title, "List#n" for entry n of a list
    QTest::addColumn<QString>("text");

    QTest::newRow("title en") << 1 << "" << "Modify Drum Key";
    QTest::newRow("title pt") << 2 << "" << "Alterar Tecla de Bateria";
    QTest::newRow("title label es") << 3 << "EditDrumsLabel" << "Alterar Tecla de Batería";
    QTest::newRow("key label pt") << 2 << "KeyLabel" << "Tecla";
    QTest::newRow("frame es") << 3 << "DrumConfiguration" << "Configuración de Batería";
    QTest::newRow("sound label es") << 3 << "DrumSoundLabel" << "Sonido de Batería";
    QTest::newRow("intensity label pt") << 2 << "IntensityLabel" << "Intensidade";
    QTest::newRow("normal en") << 1 << "Intensity#0" << "Normal";
    QTest::newRow("high en") << 1 << "Intensity#1" << "High";
    QTest::newRow("high es") << 3 << "Intensity#1" << "Alta";
    QTest::newRow("modify pt") << 2 << "Modify" << "&Alterar";
    QTest::newRow("close es") << 3 << "CloseWindow" << "&Cerrar";
    QTest::newRow("key Enter") << 1 << "Key#21" << "Enter";
    QTest::newRow("key BackSpace") << 1 << "Key#46" << "BackSpace";
    QTest::newRow("first sound") << 2 << "DrumSound#0" << "00 - Acoustic Bass Drum";
    QTest::newRow("last sound") << 1 << "DrumSound#46" << "46 - Open Triangle";
}

void DrumKeyDialogTest::captionsAndLists()
{
    QFETCH(int, language);
    QFETCH(QString, control);
    QFETCH(QString, text);

    Drums d;
    d.language = language;
    const auto dialog = d.open();
    QCOMPARE(test::shownText(*dialog, control), text);
}

void DrumKeyDialogTest::tidyInEveryLanguage()
{
    for (int language = 1; language <= 3; ++language) {
        Drums d;
        d.language = language;
        const auto dialog = d.open();
        test::verifyNothingCut(*dialog);
        test::verifyNoOverlap(*dialog);
        // Key, sound and intensity, then the buttons, and round again.
        QStringList visited;
        for (int i = 0; i < 6; ++i) {
            visited << dialog->focusWidget()->objectName();
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, (QStringList{"Key", "DrumSound", "Intensity", "Modify", "CloseWindow", "Key"}));
    }
}

QTEST_MAIN(DrumKeyDialogTest)
#include "DrumKeyDialogTest.moc"
