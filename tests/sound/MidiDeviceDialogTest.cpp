#include "sound/MidiDeviceDialog.h"
#include "../lang/LayoutChecks.h"
#include "FakePlatform.h"
#include "RecordingMidiOutput.h"
#include "platform/TraceMidiOutput.h"
#include "sound/MidiPort.h"

#include <QTemporaryDir>

using namespace clavora;
using sound::MidiDeviceDialog;
using sound::MidiPort;

namespace {

// An output whose list of devices changes only when it is refreshed, as a
// system's list does when ports come and go between two readings.
struct RefreshingOutput final : MidiOutput {
    std::vector<std::string> plugged, names;
    int deviceCount() const override { return int(names.size()); }
    std::string deviceName(int device) const override { return names.at(std::size_t(device)); }
    void refresh() override { names = plugged; }
    bool open(int) override { return true; }
    void close() override { }
    bool isOpen() const override { return true; }
    bool send(std::uint32_t) override { return true; }
};

QComboBox* deviceList(QDialog& dialog)
{
    return test::child<QComboBox>(dialog, QStringLiteral("MIDIOut"));
}

// "text=item value" for every entry of the list, joined by commas.
QString entries(QComboBox* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i) + QLatin1Char('=') + list->itemData(i).toString();
    return texts.join(QLatin1Char(','));
}

constexpr int kKeep = -9; // leave the list as the dialog opened

// Start-up has opened device 0; the dialog opens with `current` in force,
// the user picks a list `position` (or leaves it) and presses a button.
// The list is written as it shows, "text=device,...", and the output has the
// devices it names after the default entry; boxes are named "selected" or "port".
struct Choice {
    QString entries;
    std::set<int> failing;
    QString press, log, boxes;
    int current, position, selected, resets, after;
};

} // namespace

Q_DECLARE_METATYPE(Choice)

class MidiDeviceDialogTest : public QObject {
    Q_OBJECT

private slots:
    // The settings reset (one program change here) must reach the new device.
    void choosingADevice_data()
    {
        QTest::addColumn<Choice>("choice");
        const QString two = "(Default)=-1,Synth=0,Port=1";
        const QString fallback = "close,open 1,close,open 0,C0 00 00";
        // entries, failing, press, log, boxes; current, position, selected, resets, after
        QTest::newRow("one device: nothing to choose")
            << Choice {"(Default)=-1,Only=0", {}, "OK", "", "", 0, 0, 1, 0, 0};
        QTest::newRow("another device") << Choice {two, {}, "OK", "close,open 1,C0 00 00", "", -1, 2, 0, 1, 1};
        QTest::newRow("the default reopens device 0")
            << Choice {two, {}, "OK", "close,open 0,C0 00 00", "", 0, 0, 1, 1, -1};
        QTest::newRow("a device that fails falls back")
            << Choice {two, {1}, "OK", fallback, "selected", -1, 2, 0, 2, -1};
        QTest::newRow("device 0 fails too")
            << Choice {two, {0, 1}, "OK", "close,open 1,close,open 0", "selected,port", -1, 2, 0, 2, -1};
        QTest::newRow("device 2 in force")
            << Choice {"(Default)=-1,Synth=0,Port A=1,Port B=2", {}, "OK", "", "", 2, kKeep, 3, 0, 2};
        QTest::newRow("Cancel") << Choice {two, {}, "Cancel", "", "", -1, 2, 0, 0, -1};
        QTest::newRow("the device in force has gone")
            << Choice {two, {}, "OK", "close,open -2,close,open 0,C0 00 00", "selected", 2, kKeep, -1, 2, -1};
        QTest::newRow("no device at all") << Choice {"(Default)=-1", {}, "OK", "", "port", -1, kKeep, 0, 0, -1};
    }
    void choosingADevice()
    {
        QFETCH(Choice, choice);
        std::vector<std::string> names;
        for (const QString& entry : choice.entries.split(QLatin1Char(',')).mid(1))
            names.push_back(entry.section(QLatin1Char('='), 0, 0).toStdString());
        RecordingMidiOutput output(names);
        test::FakePlatform platform;
        MidiPort port(output, platform);
        port.openMidiOut();
        output.clear();
        output.setFailing(choice.failing);
        port.setCurrentMidiDevice(choice.current);
        int resets = 0;
        MidiDeviceDialog dialog(port, 1, [&] {
            ++resets;
            port.sendShortMessage(midi::kProgramChange, 0, 0);
        });
        QCOMPARE(entries(deviceList(dialog)), choice.entries);
        QCOMPARE(deviceList(dialog)->currentIndex(), choice.selected);
        if (choice.position != kKeep)
            deviceList(dialog)->setCurrentIndex(choice.position); // even on a disabled list
        test::child<QPushButton>(dialog, choice.press)->click();
        QCOMPARE(dialog.result(), int(choice.press == QLatin1String("OK") ? QDialog::Accepted : QDialog::Rejected));
        QStringList sent;
        for (const std::string& entry : output.log())
            sent << QString::fromStdString(entry);
        QCOMPARE(sent.join(QLatin1Char(',')), choice.log);
        QCOMPARE(resets, choice.resets);
        QCOMPARE(port.currentMidiDevice(), choice.after);
        QStringList shown;
        for (const auto& box : platform.boxes) {
            QCOMPARE(box.icon, MessageIcon::Exclamation);
            QCOMPARE(box.title, std::string("Warning"));
            shown << (box.text == "Unable to open selected Device. Opening default Device"       ? "selected"
                    : box.text == "Unable to access the MIDI Device.\n\nNo sound will be played" ? "port"
                                                                                                 : box.text.c_str());
        }
        QCOMPARE(shown.join(QLatin1Char(',')), choice.boxes);
    }

    void textsAndLayout_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("defaultEntry");
        QTest::newRow("unknown, read in English") << 0 << QStringLiteral("(Default)");
        QTest::newRow("English") << 1 << QStringLiteral("(Default)");
        QTest::newRow("Portuguese") << 2 << QStringLiteral("(Padrão)");
        QTest::newRow("Spanish") << 3 << QStringLiteral("(Estándar)");
    }
    // The list is read afresh at every opening, through the trace as well.
    void textsAndLayout()
    {
        QFETCH(int, language);
        QFETCH(QString, defaultEntry);
        RefreshingOutput output;
        QTemporaryDir dir;
        TraceMidiOutput traced(output, dir.filePath(QStringLiteral("trace.txt")), QElapsedTimer());
        test::FakePlatform platform;
        MidiPort port(traced, platform);
        output.plugged = {"Synth", "Port A"};
        QCOMPARE(entries(deviceList(*std::make_unique<MidiDeviceDialog>(port, language, nullptr))).section(',', 1),
            QStringLiteral("Synth=0,Port A=1"));
        output.plugged = {"Synth", "Port B", "Port C"};
        MidiDeviceDialog dialog(port, language, {});
        QCOMPARE(entries(deviceList(dialog)).section(',', 1), QStringLiteral("Synth=0,Port B=1,Port C=2"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        test::verifyCaptions(
            dialog, lang::midiDialogCaptions(), language, {QString::fromUtf8(lang::kMidiDefaultEntry)});
        QCOMPARE(deviceList(dialog)->itemText(0), defaultEntry);
        auto* ok = test::child<QPushButton>(dialog, "OK");
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        test::verifyNothingCut(dialog);

        auto* frame = test::child<QGroupBox>(dialog, "fraMIDISelect");
        QCOMPARE(frame->pos(), QPoint(8, 8)); // 120 twips at 96 dpi
        QCOMPARE(deviceList(dialog)->parentWidget(), frame);
        QCOMPARE(deviceList(dialog)->pos(), QPoint(12, 40));
        const QRect cancel = test::child<QPushButton>(dialog, "Cancel")->geometry();
        QVERIFY(ok->geometry().left() > frame->geometry().right());
        QCOMPARE(cancel.left(), ok->geometry().left());
        QVERIFY(cancel.top() > ok->geometry().bottom());
        QVERIFY(ok->isDefault());
    }
};

QTEST_MAIN(MidiDeviceDialogTest)
#include "MidiDeviceDialogTest.moc"
