#include "sound/MidiInDeviceDialog.h"
#include "../lang/LayoutChecks.h"
#include "FakeMidiInput.h"
#include "FakePlatform.h"

using namespace clavora;
using sound::MidiInDeviceDialog;

namespace {

// The source open before, the list position chosen, the button pressed; what
// the input was asked, the source open after, the releases of held notes and
// the boxes shown, as "title: text".
struct SourceChoice {
    int current, position;
    QString press, log;
    int after, releases;
    QString boxes;
};

// The source a setup names; whether it opened, what the input was asked and the source open after.
struct NamedSource {
    QString name;
    bool opened;
    QString log, open;
};

} // namespace

Q_DECLARE_METATYPE(SourceChoice)
Q_DECLARE_METATYPE(NamedSource)

class MidiInDeviceDialogTest : public QObject {
    Q_OBJECT

private slots:
    // The list as the system gives it now, the source open selected; OK lets
    // go of the held notes, then opens the choice or, failing, says so and
    // leaves None.
    void choosingASource_data()
    {
        QTest::addColumn<SourceChoice>("choice");
        const QString failed = QStringLiteral("Warning: Unable to open the selected MIDI In Device.");
        // current, position, press, log, after, releases, boxes
        QTest::newRow("a source") << SourceChoice {-1, 2, "OK", "close,open 1", 1, 1, ""};
        QTest::newRow("None closes") << SourceChoice {0, 0, "OK", "close", -1, 1, ""};
        QTest::newRow("the source open") << SourceChoice {1, 2, "OK", "", 1, 0, ""};
        // A source that has left shows as None, and is waited for no more.
        QTest::newRow("None again") << SourceChoice {-1, 0, "OK", "close", -1, 0, ""};
        QTest::newRow("Cancel") << SourceChoice {-1, 1, "Cancel", "", -1, 0, ""};
        QTest::newRow("a source that fails") << SourceChoice {0, 3, "OK", "close,open 2,close", -1, 1, failed};
    }
    void choosingASource()
    {
        QFETCH(SourceChoice, choice);
        test::FakeMidiInput input;
        input.plugged = {"Keys 20:0", "Pads 24:0", "Virtual port \"Clavora In\""};
        input.failing = {2};
        input.refresh();
        input.open_ = choice.current;
        test::FakePlatform platform;
        int releases = 0;
        MidiInDeviceDialog dialog(input, platform, 1, [&] { ++releases; });
        auto* list = test::child<QComboBox>(dialog, QStringLiteral("MIDIIn"));
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown << list->itemText(i) + QLatin1Char('=') + list->itemData(i).toString();
        QCOMPARE(shown.join(','), QStringLiteral("None=-1,Keys 20:0=0,Pads 24:0=1,Virtual port \"Clavora In\"=2"));
        QCOMPARE(list->currentIndex(), choice.current + 1);
        list->setCurrentIndex(choice.position);
        test::child<QPushButton>(dialog, choice.press)->click();
        QCOMPARE(input.log.join(','), choice.log);
        QCOMPARE(input.openSource(), choice.after);
        QCOMPARE(releases, choice.releases);
        QString boxes;
        for (const auto& box : platform.boxes)
            boxes += QString::fromStdString(box.title + ": " + box.text);
        QCOMPARE(boxes, choice.boxes);
    }

    void textsAndLayout_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("noneEntry");
        QTest::newRow("unknown, read in English") << 0 << QStringLiteral("None");
        QTest::newRow("English") << 1 << QStringLiteral("None");
        QTest::newRow("Portuguese") << 2 << QStringLiteral("Nenhum");
        QTest::newRow("Spanish") << 3 << QStringLiteral("Ninguno");
    }
    void textsAndLayout()
    {
        QFETCH(int, language);
        QFETCH(QString, noneEntry);
        test::FakeMidiInput input;
        test::FakePlatform platform;
        MidiInDeviceDialog dialog(input, platform, language, {});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        test::verifyCaptions(dialog, lang::midiInDialogCaptions(), language,
            {QString::fromUtf8(lang::kMidiNoneEntry), QString::fromUtf8(lang::kMidiInOpenFailed)});
        QCOMPARE(test::shownText(dialog, QStringLiteral("MIDIIn#0")), noneEntry);
        test::verifyNothingCut(dialog);
        test::verifyNoOverlap(dialog);
    }

    // A setup names its source: the list is read again and the source of
    // that name opened; an empty name closes the input.
    void opensTheSourceASetupNames_data()
    {
        QTest::addColumn<NamedSource>("c");
        QTest::newRow("present") << NamedSource {"Keys", true, "open 1", "Keys"};
        QTest::newRow("gone") << NamedSource {"Pads", false, "", "Drums"};
        QTest::newRow("refuses") << NamedSource {"Synth", false, "open 2", ""};
        QTest::newRow("none") << NamedSource {"", true, "close", ""};
        // An ALSA port plugged in again may have other client and port
        // numbers; the same numbers win, a name without numbers is another.
        QTest::newRow("new numbers") << NamedSource {"Keys:Keys MIDI 1 24:0", true, "open 4", "Keys:Keys MIDI 1 28:0"};
        QTest::newRow("same numbers") << NamedSource {"Pads 20:1", true, "open 6", "Pads 20:1"};
        QTest::newRow("not numbers") << NamedSource {"Keys:Keys MIDI 1 2x:0", false, "", "Drums"};
    }
    void opensTheSourceASetupNames()
    {
        QFETCH(NamedSource, c);
        test::FakeMidiInput input;
        input.names = {"Drums"};
        input.open_ = 0;
        input.plugged
            = {"Drums", "Keys", "Synth", "Keys:Keys MIDI 1", "Keys:Keys MIDI 1 28:0", "Pads 20:0", "Pads 20:1"};
        input.failing = {2};
        QCOMPARE(input.openNamed(c.name.toStdString()), c.opened);
        QCOMPARE(input.log.join(QLatin1Char(' ')), c.log);
        QCOMPARE(QString::fromStdString(input.openSourceName()), c.open);
    }
};

QTEST_MAIN(MidiInDeviceDialogTest)
#include "MidiInDeviceDialogTest.moc"
