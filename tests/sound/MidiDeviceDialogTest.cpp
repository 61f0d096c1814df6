#include "FakePlatform.h"
#include "../lang/LayoutChecks.h"
#include "piano/Twips.h"
#include "platform/MidiConstants.h"
#include "platform/RecordingMidiOutput.h"
#include "platform/TraceMidiOutput.h"
#include "sound/MidiDeviceDialog.h"
#include "sound/MidiPort.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <string>
#include <vector>

using clavora::MessageIcon;
using clavora::RecordingMidiOutput;
using clavora::sound::MidiDeviceDialog;
using clavora::sound::MidiPort;

namespace {

using Log = std::vector<std::string>;

// An output whose list of devices changes only when it is refreshed, as a
// system's list does when ports come and go between two readings.
class RefreshingOutput final : public clavora::MidiOutput {
public:
    explicit RefreshingOutput(RecordingMidiOutput& inner)
        : inner_(inner)
    {
    }
    void plug(std::vector<std::string> names) { pending_ = std::move(names); }

    void refresh() override
    {
        ++refreshes;
        inner_.setDeviceNames(pending_);
    }
    int deviceCount() const override { return inner_.deviceCount(); }
    std::string deviceName(int device) const override { return inner_.deviceName(device); }
    bool open(int device) override { return inner_.open(device); }
    void close() override { inner_.close(); }
    bool isOpen() const override { return inner_.isOpen(); }
    bool send(std::uint32_t message) override { return inner_.send(message); }

    int refreshes = 0;

private:
    RecordingMidiOutput& inner_;
    std::vector<std::string> pending_;
};

// The port on a recording output with the given devices, device 0 open and
// the default device in force, as after start-up; the log starts empty.
struct Rig {
    explicit Rig(std::vector<std::string> names)
        : output(std::move(names))
        , port(output, platform)
    {
        port.openMidiOut();
        output.clear();
    }

    // What the main window passes: its resets send one program change per
    // voice slot; one here is enough to see where they go.
    std::function<void()> resetter()
    {
        return [this] {
            ++resets;
            port.sendShortMessage(clavora::midi::kProgramChange, 0, 0);
        };
    }

    // Chooses the list position and presses OK; the dialog's result.
    int choose(int position, int language = 1)
    {
        MidiDeviceDialog dialog(port, language, resetter());
        list(dialog)->setCurrentIndex(position);
        button(dialog, "OK")->click();
        return dialog.result();
    }

    static QComboBox* list(QDialog& dialog)
    {
        auto* found = dialog.findChild<QComboBox*>(QStringLiteral("MIDIOut"));
        if (!found)
            qFatal("no list MIDIOut");
        return found;
    }
    static QPushButton* button(QDialog& dialog, const char* name)
    {
        auto* found = dialog.findChild<QPushButton*>(QLatin1String(name));
        if (!found)
            qFatal("no button %s", name);
        return found;
    }

    clavora::test::FakePlatform platform;
    RecordingMidiOutput output;
    MidiPort port;
    int resets = 0;
};

QStringList entries(QComboBox* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i) + QLatin1Char('=') + list->itemData(i).toString();
    return texts;
}

} // namespace

class MidiDeviceDialogTest : public QObject {
    Q_OBJECT

private slots:
    void listsTheDefaultEntryAndEveryDevice()
    {
        Rig rig({"Built-in Synthesizer", "Port A", "Port B"});
        MidiDeviceDialog dialog(rig.port, 1, rig.resetter());
        QCOMPARE(dialog.objectName(), QStringLiteral("frmMIDI"));
        QCOMPARE(entries(Rig::list(dialog)),
                 QStringList({"(Default)=-1", "Built-in Synthesizer=0", "Port A=1", "Port B=2"}));
        QVERIFY(Rig::list(dialog)->isEnabled());
        QCOMPARE(Rig::list(dialog)->currentIndex(), 0);
        QVERIFY(rig.output.log().empty());
    }

    void oneDeviceLeavesNothingToChoose()
    {
        Rig rig({"Only"});
        {
            MidiDeviceDialog dialog(rig.port, 1, rig.resetter());
            QCOMPARE(entries(Rig::list(dialog)), QStringList({"(Default)=-1", "Only=0"}));
            QCOMPARE(Rig::list(dialog)->currentIndex(), 1);
            QVERIFY(!Rig::list(dialog)->isEnabled());
            // Even a choice made by code is not acted upon.
            Rig::list(dialog)->setCurrentIndex(0);
            Rig::button(dialog, "OK")->click();
            QCOMPARE(dialog.result(), int{QDialog::Accepted});
        }
        QVERIFY(rig.output.log().empty());
        QCOMPARE(rig.resets, 0);
        QCOMPARE(rig.port.currentMidiDevice(), MidiPort::kDefaultDevice);
    }

    void choosingAnotherDeviceOpensItAndResets()
    {
        Rig rig({"Synth", "Port"});
        QCOMPARE(rig.choose(2), int{QDialog::Accepted});
        QCOMPARE(rig.output.log(), Log({"close", "open 1", "C0 00 00"}));
        QCOMPARE(rig.resets, 1);
        QCOMPARE(rig.port.currentMidiDevice(), 1);
        QCOMPARE(rig.output.openDevice(), 1);
        QCOMPARE(rig.output.messages().size(), std::size_t{1});
        QCOMPARE(rig.output.messages()[0].device, 1);
        QVERIFY(rig.platform.boxes.empty());

        // The next opening selects the device in force.
        MidiDeviceDialog again(rig.port, 1, rig.resetter());
        QCOMPARE(Rig::list(again)->currentIndex(), 2);
    }

    void choosingTheDefaultReopensDeviceZero()
    {
        Rig rig({"Synth", "Port"});
        rig.port.setCurrentMidiDevice(0);
        rig.choose(0);
        QCOMPARE(rig.output.log(), Log({"close", "open 0", "C0 00 00"}));
        QCOMPARE(rig.resets, 1);
        QCOMPARE(rig.port.currentMidiDevice(), MidiPort::kDefaultDevice);
    }

    void aDeviceThatFailsFallsBackToTheDefault()
    {
        Rig rig({"Synth", "Port"});
        rig.output.setFailing({1});
        QCOMPARE(rig.choose(2), int{QDialog::Accepted});

        QCOMPARE(rig.platform.boxes.size(), std::size_t{1});
        QCOMPARE(rig.platform.boxes[0].icon, MessageIcon::Exclamation);
        QCOMPARE(rig.platform.boxes[0].title, std::string("Warning"));
        QCOMPARE(rig.platform.boxes[0].text, std::string("Unable to open selected Device. Opening default Device"));
        // The settings are reset once on the closed output and once more on
        // device 0; only the second reaches a device.
        QCOMPARE(rig.output.log(), Log({"close", "open 1", "close", "open 0", "C0 00 00"}));
        QCOMPARE(rig.resets, 2);
        QCOMPARE(rig.output.messages()[0].device, 0);
        QCOMPARE(rig.port.currentMidiDevice(), MidiPort::kDefaultDevice);
    }

    void whenDeviceZeroFailsTooBothWarningsShow()
    {
        Rig rig({"Synth", "Port"});
        rig.output.setFailing({0, 1});
        rig.choose(2);
        QCOMPARE(rig.platform.boxes.size(), std::size_t{2});
        QCOMPARE(rig.platform.boxes[0].text, std::string(MidiDeviceDialog::kOpenSelectedFailedText));
        QCOMPARE(rig.platform.boxes[1].text, std::string(MidiPort::kOpenFailedText));
        QVERIFY(!rig.output.isOpen());
        QCOMPARE(rig.resets, 2);
        QCOMPARE(rig.port.currentMidiDevice(), MidiPort::kDefaultDevice);
    }

    void theChoiceInForceTouchesNothing_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("position");
        QTest::newRow("default") << -1 << 0;
        QTest::newRow("device 0") << 0 << 1;
        QTest::newRow("device 2") << 2 << 3;
    }
    void theChoiceInForceTouchesNothing()
    {
        QFETCH(int, current);
        QFETCH(int, position);
        Rig rig({"Synth", "Port A", "Port B"});
        rig.port.setCurrentMidiDevice(current);
        {
            MidiDeviceDialog dialog(rig.port, 1, rig.resetter());
            QCOMPARE(Rig::list(dialog)->currentIndex(), position);
            Rig::button(dialog, "OK")->click();
            QCOMPARE(dialog.result(), int{QDialog::Accepted});
        }
        QVERIFY(rig.output.log().empty());
        QCOMPARE(rig.resets, 0);
        QCOMPARE(rig.port.currentMidiDevice(), current);
    }

    void cancelChangesNothing()
    {
        Rig rig({"Synth", "Port"});
        MidiDeviceDialog dialog(rig.port, 1, rig.resetter());
        Rig::list(dialog)->setCurrentIndex(2);
        Rig::button(dialog, "Cancel")->click();
        QCOMPARE(dialog.result(), int{QDialog::Rejected});
        QVERIFY(rig.output.log().empty());
        QCOMPARE(rig.resets, 0);
        QCOMPARE(rig.port.currentMidiDevice(), MidiPort::kDefaultDevice);
    }

    void theListIsReadAfreshAtEveryOpening()
    {
        RecordingMidiOutput recording({"Synth", "Port A"});
        RefreshingOutput output(recording);
        output.plug({"Synth", "Port A"});
        clavora::test::FakePlatform platform;
        MidiPort port(output, platform);

        MidiDeviceDialog first(port, 1, {});
        QCOMPARE(entries(Rig::list(first)), QStringList({"(Default)=-1", "Synth=0", "Port A=1"}));

        output.plug({"Synth", "Port B", "Port C"});
        MidiDeviceDialog second(port, 1, {});
        QCOMPARE(output.refreshes, 2);
        QCOMPARE(entries(Rig::list(second)), QStringList({"(Default)=-1", "Synth=0", "Port B=1", "Port C=2"}));
    }

    void aTracedOutputIsReadAfreshToo()
    {
        RecordingMidiOutput recording({"Synth"});
        RefreshingOutput output(recording);
        output.plug({"Synth", "Port A"});
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        clavora::TraceMidiOutput traced(output, dir.filePath(QStringLiteral("trace.txt")), QElapsedTimer());
        clavora::test::FakePlatform platform;
        MidiPort port(traced, platform);

        MidiDeviceDialog dialog(port, 1, {});
        QCOMPARE(entries(Rig::list(dialog)), QStringList({"(Default)=-1", "Synth=0", "Port A=1"}));
    }

    void aVanishedDeviceSelectsNothingAndOkFallsBack()
    {
        Rig rig({"Synth", "Port A", "Port B"});
        rig.port.setCurrentMidiDevice(2);
        rig.output.setDeviceNames({"Synth", "Port A"});
        {
            MidiDeviceDialog dialog(rig.port, 1, rig.resetter());
            QCOMPARE(Rig::list(dialog)->currentIndex(), -1);
            Rig::button(dialog, "OK")->click();
            QCOMPARE(dialog.result(), int{QDialog::Accepted});
        }
        QCOMPARE(rig.platform.boxes.size(), std::size_t{1});
        QCOMPARE(rig.platform.boxes[0].title, std::string("Warning"));
        QCOMPARE(rig.output.log(), Log({"close", "open -2", "close", "open 0", "C0 00 00"}));
        QCOMPARE(rig.resets, 2);
        QCOMPARE(rig.port.currentMidiDevice(), MidiPort::kDefaultDevice);
    }

    void withNoDeviceOnlyTheDefaultIsListed()
    {
        Rig rig({});
        MidiDeviceDialog dialog(rig.port, 1, rig.resetter());
        QCOMPARE(entries(Rig::list(dialog)), QStringList({"(Default)=-1"}));
        QVERIFY(Rig::list(dialog)->isEnabled());
        QCOMPARE(Rig::list(dialog)->currentIndex(), 0);
    }

    void textsFollowTheLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("cancel");
        QTest::addColumn<QString>("defaultEntry");
        QTest::newRow("English") << 1 << "MIDI Out Device" << "MIDI Out Device:" << "Cancel" << "(Default)";
        QTest::newRow("Portuguese") << 2 << "Dispositivo MIDI de Saída" << "Dispositivo MIDI de Saída:" << "Cancelar"
                                    << "(Padrão)";
        QTest::newRow("Spanish") << 3 << "Dispositivo MIDI de Salida" << "Dispositivo MIDI de Salida:" << "Cancelar"
                                 << "(Estándar)";
        QTest::newRow("unknown reads English") << 0 << "MIDI Out Device" << "MIDI Out Device:" << "Cancel"
                                               << "(Default)";
    }
    void textsFollowTheLanguage()
    {
        QFETCH(int, language);
        QFETCH(QString, title);
        QFETCH(QString, label);
        QFETCH(QString, cancel);
        QFETCH(QString, defaultEntry);
        Rig rig({"Synth", "Port"});
        MidiDeviceDialog dialog(rig.port, language, rig.resetter());
        QCOMPARE(dialog.windowTitle(), title);
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("lblMIDIOut"))->text(), label);
        QCOMPARE(Rig::button(dialog, "Cancel")->text(), cancel);
        QCOMPARE(Rig::button(dialog, "OK")->text(), QStringLiteral("OK"));
        QCOMPARE(Rig::list(dialog)->itemText(0), defaultEntry);
    }

    void theLayoutFollowsTheDesignAndCutsNothing_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("English") << 1;
        QTest::newRow("Portuguese") << 2;
    }
    void theLayoutFollowsTheDesignAndCutsNothing()
    {
        QFETCH(int, language);
        Rig rig({"Synth", "Port"});
        MidiDeviceDialog dialog(rig.port, language, rig.resetter());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        clavora::test::verifyNothingCut(dialog);

        const clavora::Twips t = clavora::Twips::forWidget(&dialog);
        auto* frame = dialog.findChild<QGroupBox*>(QStringLiteral("fraMIDISelect"));
        QVERIFY(frame);
        QCOMPARE(frame->pos(), QPoint(t(120), t(120)));
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("lblMIDIOut"))->parentWidget(), frame);
        QCOMPARE(Rig::list(dialog)->parentWidget(), frame);
        QCOMPARE(Rig::list(dialog)->pos(), QPoint(t(180), t(600)));
        QVERIFY(frame->rect().contains(Rig::list(dialog)->geometry()));
        const QRect ok = Rig::button(dialog, "OK")->geometry();
        const QRect cancel = Rig::button(dialog, "Cancel")->geometry();
        QVERIFY(ok.left() > frame->geometry().right());
        QCOMPARE(cancel.left(), ok.left());
        QVERIFY(cancel.top() > ok.bottom());
        QVERIFY(Rig::button(dialog, "OK")->isDefault());
    }
};

QTEST_MAIN(MidiDeviceDialogTest)
#include "MidiDeviceDialogTest.moc"
