#include "FakePlatform.h"
#include "../lang/LayoutChecks.h"
#include "piano/Twips.h"
#include "platform/MidiConstants.h"
#include "platform/RecordingMidiOutput.h"
#include "platform/TraceMidiOutput.h"
#include "sound/MidiDeviceDialog.h"
#include "sound/MidiPort.h"

#include <QComboBox>
#include <QTemporaryDir>

#include <numeric>

using clavora::RecordingMidiOutput;
using clavora::sound::MidiDeviceDialog;
using clavora::sound::MidiPort;

namespace {

// An output whose list of devices changes only when it is refreshed, as a
// system's list does when ports come and go between two readings.
class RefreshingOutput final : public clavora::MidiOutput {
public:
    std::vector<std::string> plugged;
    int deviceCount() const override { return int(names_.size()); }
    std::string deviceName(int device) const override { return names_.at(std::size_t(device)); }
    void refresh() override { names_ = plugged; }
    bool open(int) override { return true; }
    void close() override {}
    bool isOpen() const override { return true; }
    bool send(std::uint32_t) override { return true; }

private:
    std::vector<std::string> names_;
};

QComboBox* deviceList(QDialog& dialog)
{
    return clavora::test::child<QComboBox>(dialog, QStringLiteral("MIDIOut"));
}

QPushButton* button(QDialog& dialog, const QString& name)
{
    return clavora::test::child<QPushButton>(dialog, name);
}

// "text=item value" for every entry of the list, joined by commas.
QString entries(QComboBox* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i) + QLatin1Char('=') + list->itemData(i).toString();
    return texts.join(QLatin1Char(','));
}

QStringList items(const QString& list)
{
    return list.split(QLatin1Char(','), Qt::SkipEmptyParts);
}

constexpr int kKeep = -9; // leave the list as the dialog opened

} // namespace

class MidiDeviceDialogTest : public QObject {
    Q_OBJECT

private slots:
    // Start-up has opened device 0; the dialog opens with `current` in
    // force, the user picks a list position (or leaves it) and presses a
    // button. The settings reset (one program change here) must reach the
    // new device. Lists are written "a,b,c".
    void choosingADevice_data()
    {
        for (const char* column : {"devices", "failing", "press", "log", "boxes"})
            QTest::addColumn<QString>(column);
        for (const char* column : {"current", "position", "selected", "resets", "after"})
            QTest::addColumn<int>(column);
        const char* const two = "Synth,Port";
        const char* const three = "Synth,Port A,Port B";
        const char* const fallback = "close,open 1,close,open 0,C0 00 00";
        auto row = [](const char* name) -> QTestData& { return QTest::newRow(name); };
        // devices, failing, press, log, boxes; current, position, selected, resets, after
        row("one device: nothing to choose") << "Only" << "" << "OK" << "" << "" << -1 << 0 << 1 << 0 << -1;
        row("another device") << two << "" << "OK" << "close,open 1,C0 00 00" << "" << -1 << 2 << 0 << 1 << 1;
        row("the default reopens device 0") << two << "" << "OK" << "close,open 0,C0 00 00" << "" << 0 << 0 << 1 << 1
                                            << -1;
        row("a device that fails falls back") << two << "1" << "OK" << fallback << "selected" << -1 << 2 << 0 << 2 << -1;
        row("device 0 fails too") << two << "0,1" << "OK" << "close,open 1,close,open 0" << "selected,port" << -1 << 2
                                  << 0 << 2 << -1;
        row("default in force") << three << "" << "OK" << "" << "" << -1 << kKeep << 0 << 0 << -1;
        row("device 0 in force") << three << "" << "OK" << "" << "" << 0 << kKeep << 1 << 0 << 0;
        row("device 2 in force") << three << "" << "OK" << "" << "" << 2 << kKeep << 3 << 0 << 2;
        row("Cancel") << two << "" << "Cancel" << "" << "" << -1 << 2 << 0 << 0 << -1;
        row("the device in force has gone") << two << "" << "OK" << "close,open -2,close,open 0,C0 00 00" << "selected"
                                            << 2 << kKeep << -1 << 2 << -1;
        row("no device at all") << "" << "" << "OK" << "" << "port" << -1 << kKeep << 0 << 0 << -1;
    }
    void choosingADevice()
    {
        QFETCH(QString, devices);
        QFETCH(QString, failing);
        QFETCH(QString, log);
        QFETCH(QString, boxes);
        QFETCH(QString, press);
        QFETCH(int, current);
        QFETCH(int, position);
        QFETCH(int, selected);
        QFETCH(int, resets);
        QFETCH(int, after);

        std::vector<std::string> names;
        for (const QString& name : items(devices))
            names.push_back(name.toStdString());
        RecordingMidiOutput output(names);
        clavora::test::FakePlatform platform;
        MidiPort port(output, platform);
        port.openMidiOut();
        output.clear();
        std::set<int> refusing;
        for (const QString& device : items(failing))
            refusing.insert(device.toInt());
        output.setFailing(refusing);
        port.setCurrentMidiDevice(current);
        int resetCount = 0;
        auto reset = [&] {
            ++resetCount;
            port.sendShortMessage(clavora::midi::kProgramChange, 0, 0);
        };
        {
            MidiDeviceDialog dialog(port, 1, reset);
            QStringList listed{"(Default)=-1"};
            for (int d = 0; d < int(names.size()); ++d)
                listed << items(devices)[d] + QLatin1Char('=') + QString::number(d);
            QCOMPARE(entries(deviceList(dialog)), listed.join(QLatin1Char(',')));
            QCOMPARE(deviceList(dialog)->currentIndex(), selected);
            QCOMPARE(deviceList(dialog)->isEnabled(), names.size() != 1);
            if (position != kKeep)
                deviceList(dialog)->setCurrentIndex(position); // even on a disabled list
            button(dialog, press)->click();
            QCOMPARE(dialog.result(), int(press == QLatin1String("OK") ? QDialog::Accepted : QDialog::Rejected));
        }
        QCOMPARE(QString::fromStdString(std::accumulate(output.log().begin(), output.log().end(), std::string(),
            [](const std::string& all, const std::string& entry) { return all.empty() ? entry : all + ',' + entry; })), log);
        QCOMPARE(resetCount, resets);
        QCOMPARE(port.currentMidiDevice(), after);
        QStringList shown;
        for (const auto& box : platform.boxes) {
            QCOMPARE(box.icon, clavora::MessageIcon::Exclamation);
            QCOMPARE(box.title, std::string("Warning"));
            shown << (box.text == MidiDeviceDialog::kOpenSelectedFailedText ? "selected"
                      : box.text == MidiPort::kOpenFailedText                ? "port" : box.text.c_str());
        }
        QCOMPARE(shown.join(QLatin1Char(',')), boxes);

        // The next opening selects the choice in force.
        if (names.size() != 1) {
            MidiDeviceDialog again(port, 1, reset);
            QCOMPARE(deviceList(again)->currentIndex(), after + 1);
        }
    }

    // The list is read afresh at every opening, through the trace as well.
    void theListIsReadAfreshAtEveryOpening()
    {
        RefreshingOutput output;
        QTemporaryDir dir;
        clavora::TraceMidiOutput traced(output, dir.filePath(QStringLiteral("trace.txt")), QElapsedTimer());
        clavora::test::FakePlatform platform;
        MidiPort port(traced, platform);
        output.plugged = {"Synth", "Port A"};
        MidiDeviceDialog first(port, 1, {});
        QCOMPARE(entries(deviceList(first)), QStringLiteral("(Default)=-1,Synth=0,Port A=1"));
        output.plugged = {"Synth", "Port B", "Port C"};
        MidiDeviceDialog second(port, 1, {});
        QCOMPARE(entries(deviceList(second)), QStringLiteral("(Default)=-1,Synth=0,Port B=1,Port C=2"));
    }

    void textsAndLayout_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("unknown reads English") << 0;
        QTest::newRow("English") << 1;
        QTest::newRow("Portuguese") << 2;
        QTest::newRow("Spanish") << 3;
    }
    void textsAndLayout()
    {
        QFETCH(int, language);
        RecordingMidiOutput output({"Synth", "Port"});
        clavora::test::FakePlatform platform;
        MidiPort port(output, platform);
        MidiDeviceDialog dialog(port, language, {});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.objectName(), QStringLiteral("frmMIDI"));
        const QString defaultEntry = QString::fromLatin1(clavora::lang::kMidiDefaultEntry.data(),
                                                         qsizetype(clavora::lang::kMidiDefaultEntry.size()));
        clavora::test::verifyCaptions(dialog, clavora::lang::midiDialogCaptions(), language, {defaultEntry});
        QCOMPARE(deviceList(dialog)->itemText(0),
                 clavora::lang::caption(clavora::lang::midiDialogCaptions(), language ? language : 1,
                                        clavora::lang::kMidiDefaultEntry));
        QCOMPARE(button(dialog, "OK")->text(), QStringLiteral("OK"));
        clavora::test::verifyNothingCut(dialog);

        const clavora::Twips t = clavora::Twips::forWidget(&dialog);
        auto* frame = dialog.findChild<QGroupBox*>(QStringLiteral("fraMIDISelect"));
        QVERIFY(frame);
        QCOMPARE(frame->pos(), QPoint(t(120), t(120)));
        QCOMPARE(deviceList(dialog)->parentWidget(), frame);
        QCOMPARE(deviceList(dialog)->pos(), QPoint(t(180), t(600)));
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("lblMIDIOut"))->parentWidget(), frame);
        const QRect ok = button(dialog, "OK")->geometry();
        const QRect cancel = button(dialog, "Cancel")->geometry();
        QVERIFY(ok.left() > frame->geometry().right());
        QCOMPARE(cancel.left(), ok.left());
        QVERIFY(cancel.top() > ok.bottom());
        QVERIFY(button(dialog, "OK")->isDefault());
    }
};

QTEST_MAIN(MidiDeviceDialogTest)
#include "MidiDeviceDialogTest.moc"
