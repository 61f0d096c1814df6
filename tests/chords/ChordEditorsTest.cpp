// The keyboard-chord and guitar-chord editors on their own: what they show,
// store and say, how they close, and how they look in every language.
#include "FakePlatform.h"
#include "LayoutChecks.h"
#include "chords/ChordGuitarDialog.h"
#include "chords/ChordKeysDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace clavora;
using namespace clavora::chords;

namespace {

struct Editors {
    Editors() { tables.loadDefaults(); }

    // "keys" or "guitar", opened on a chord, shown and active.
    std::unique_ptr<ChordEditorDialog> open(const QString& editor, int type = 0, int note = 0, int language = 1)
    {
        std::unique_ptr<ChordEditorDialog> dialog;
        if (editor == QLatin1String("keys"))
            dialog = std::make_unique<ChordKeysDialog>(tables, type, note, language, platform);
        else
            dialog = std::make_unique<ChordGuitarDialog>(tables, type, note, language, platform);
        dialog->show();
        dialog->activateWindow();
        static_cast<void>(QTest::qWaitForWindowActive(dialog.get()));
        return dialog;
    }

    ChordTables tables;
    test::FakePlatform platform;
};

QComboBox* list(QWidget* dialog, const QString& name)
{
    auto* combo = dialog->findChild<QComboBox*>(name);
    if (!combo)
        qFatal("no list named %s", qPrintable(name));
    return combo;
}

// Selects entries: each item "Name=position".
void choose(QWidget* dialog, const QStringList& choices)
{
    for (const QString& choice : choices) {
        const QStringList parts = choice.split(QLatin1Char('='));
        list(dialog, parts[0])->setCurrentIndex(parts[1].toInt());
    }
}

bool sameTables(const ChordTables& a, const ChordTables& b)
{
    for (int index = 0; index < kChordTableSize; ++index)
        if (a.keyboardChord(index) != b.keyboardChord(index) || a.guitarChord(index) != b.guitarChord(index))
            return false;
    return true;
}

} // namespace

class ChordEditorsTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnTheChordGiven_data();
    void opensOnTheChordGiven();
    void choosingAnotherChordReloadsIt();
    void modifyStoresTheChord_data();
    void modifyStoresTheChord();
    void closingStoresNothing_data();
    void closingStoresNothing();
    void chordThatCannotBeStoredIsRefused_data();
    void chordThatCannotBeStoredIsRefused();
    void captionsAndLists_data();
    void captionsAndLists();
    void tidyInEveryLanguage_data();
    void tidyInEveryLanguage();
    void tabOrder_data();
    void tabOrder();
};

void ChordEditorsTest::opensOnTheChordGiven_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("note");
    QTest::addColumn<QStringList>("shown");   // "List=entry text"
    QTest::addColumn<QStringList>("hidden");

    const QStringList fourthRow{"FourthNoteLabel", "FourthOctave", "FourthNote"};
    QTest::newRow("no chord played yet") << "keys" << 0 << 0
        << QStringList{"ChordType=Major (Normal)", "ChordNote=C", "FirstOctave= 1", "FirstNote=G",
                       "SecondOctave= 2", "SecondNote=C", "ThirdOctave= 2", "ThirdNote=E"}
        << fourthRow;
    QTest::newRow("seventh shows the fourth row") << "keys" << 2 << 0
        << QStringList{"ChordType=Seventh", "FirstOctave= 1", "FirstNote=G", "SecondOctave= 1",
                       "SecondNote=A#/Bb", "ThirdOctave= 2", "ThirdNote=C", "FourthOctave= 2", "FourthNote=E"}
        << QStringList{};
    QTest::newRow("guitar, no chord played yet") << "guitar" << 0 << 0
        << QStringList{"ChordType=Major (Normal)", "ChordNote=C", "FirstString=0", "SecondString=3",
                       "ThirdString=2", "FourthString=0", "FifthString=1", "SixthString=0"}
        << QStringList{};
    QTest::newRow("guitar D major") << "guitar" << 0 << 2
        << QStringList{"ChordNote=D", "FirstString=X", "SecondString=0", "ThirdString=0", "FourthString=2",
                       "FifthString=3", "SixthString=2"}
        << QStringList{};
}

void ChordEditorsTest::opensOnTheChordGiven()
{
    QFETCH(QString, editor);
    QFETCH(int, type);
    QFETCH(int, note);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, hidden);

    Editors e;
    const auto dialog = e.open(editor, type, note);
    for (const QString& item : shown) {
        const QStringList parts = item.split(QLatin1Char('='));
        QCOMPARE(list(dialog.get(), parts[0])->currentText(), parts[1]);
    }
    for (QWidget* widget : dialog->findChildren<QWidget*>()) {
        if (widget->objectName().startsWith(QLatin1String("Fourth")))
            QCOMPARE(widget->isVisible(), !hidden.contains(widget->objectName()));
    }
}

void ChordEditorsTest::choosingAnotherChordReloadsIt()
{
    Editors e;
    const auto dialog = e.open(QStringLiteral("keys"));
    choose(dialog.get(), {"FirstNote=0", "SecondOctave=2"});
    list(dialog.get(), "ChordNote")->setCurrentIndex(2);  // D major "060914"
    QCOMPARE(list(dialog.get(), "FirstNote")->currentText(), QStringLiteral("F#/Gb"));
    QCOMPARE(list(dialog.get(), "SecondOctave")->currentText(), QStringLiteral(" 1"));
    list(dialog.get(), "ChordType")->setCurrentIndex(9);   // D minor ninth: four rows
    QVERIFY(list(dialog.get(), "FourthNote")->isVisible());
    QCOMPARE(list(dialog.get(), "FourthNote")->currentText(), QStringLiteral("E"));
    // Back on C major: the unsaved change is gone, and so it stays.
    choose(dialog.get(), {"ChordType=0", "ChordNote=0"});
    QCOMPARE(list(dialog.get(), "FirstNote")->currentText(), QStringLiteral("G"));
    Editors untouched;
    QVERIFY(sameTables(e.tables, untouched.tables));
}

void ChordEditorsTest::modifyStoresTheChord_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("note");
    QTest::addColumn<QStringList>("choices");  // "List=position"
    QTest::addColumn<QString>("stored");

    QTest::newRow("C major as C E G") << "keys" << 0 << 0
        << QStringList{"FirstOctave=0", "FirstNote=0", "SecondOctave=0", "SecondNote=4", "ThirdOctave=0",
                       "ThirdNote=7"}
        << "000407";
    QTest::newRow("minor: three fields whatever the hidden row") << "keys" << 1 << 0
        << QStringList{"FourthOctave=2", "FourthNote=5"} << "071215";
    QTest::newRow("minor ninth: four fields") << "keys" << 9 << 11 << QStringList{"FourthOctave=2"} << "02091125";
    QTest::newRow("guitar string 1 not played") << "guitar" << 0 << 0 << QStringList{"FirstString=0"}
                                                << "-11216192428";
    QTest::newRow("guitar fret 9 on string 6") << "guitar" << 0 << 0 << QStringList{"SixthString=10"}
                                               << "041216192437";
}

void ChordEditorsTest::modifyStoresTheChord()
{
    QFETCH(QString, editor);
    QFETCH(int, type);
    QFETCH(int, note);
    QFETCH(QStringList, choices);
    QFETCH(QString, stored);

    Editors e;
    const auto dialog = e.open(editor, type, note);
    choose(dialog.get(), choices);
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Modify")), Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QVERIFY(!dialog->isVisible());
    const int index = chordTableIndex(note, type);
    QCOMPARE(editor == QLatin1String("keys") ? e.tables.keyboardChord(index) : e.tables.guitarChord(index), stored);
    QVERIFY(e.platform.boxes.empty());
}

void ChordEditorsTest::closingStoresNothing_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("how");
    for (const char* editor : {"keys", "guitar"})
        for (const char* how : {"CloseWindow", "Esc", "title bar"})
            QTest::addRow("%s, %s", editor, how) << editor << how;
}

void ChordEditorsTest::closingStoresNothing()
{
    QFETCH(QString, editor);
    QFETCH(QString, how);

    Editors e;
    const auto dialog = e.open(editor);
    choose(dialog.get(), {editor == QLatin1String("keys") ? "FirstNote=3" : "ThirdString=0"});
    if (how == QLatin1String("CloseWindow"))
        QTest::mouseClick(dialog->findChild<QPushButton*>(how), Qt::LeftButton);
    else if (how == QLatin1String("Esc"))
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Escape);
    else
        dialog->close();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    Editors untouched;
    QVERIFY(sameTables(e.tables, untouched.tables));
}

void ChordEditorsTest::chordThatCannotBeStoredIsRefused_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("chord");    // what C major holds: a field no entry can show
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("message");

    QTest::newRow("keyboard, English") << "keys" << "071299" << 1
        << "The chord was not changed: note 3 would not sound at every chord octave (MIDI notes 0 to 127 on "
           "octaves 1 to 5).";
    QTest::newRow("keyboard, Portuguese") << "keys" << "991216" << 2
        << "O acorde não foi alterado: a nota 1 não soaria em todas as oitavas do acorde (notas MIDI de 0 a 127 "
           "nas oitavas 1 a 5).";
    QTest::newRow("guitar, Spanish") << "guitar" << "041216192499" << 3
        << "El acorde no fue alterado: la cuerda 6 no sonaría en todas las octavas del acorde (notas MIDI de 0 a "
           "127 en las octavas 1 a 5).";
}

void ChordEditorsTest::chordThatCannotBeStoredIsRefused()
{
    QFETCH(QString, editor);
    QFETCH(QString, chord);
    QFETCH(int, language);
    QFETCH(QString, message);

    Editors e;
    const bool keys = editor == QLatin1String("keys");
    keys ? e.tables.setKeyboardChord(0, chord) : e.tables.setGuitarChord(0, chord);
    const auto dialog = e.open(editor, 0, 0, language);
    QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
    QCOMPARE(e.platform.boxes.size(), std::size_t{1});
    QCOMPARE(e.platform.boxes[0].icon, MessageIcon::Exclamation);
    QCOMPARE(QString::fromStdString(e.platform.boxes[0].text), message);
    QVERIFY(dialog->isVisible());
    QCOMPARE(keys ? e.tables.keyboardChord(0) : e.tables.guitarChord(0), chord);
}

void ChordEditorsTest::captionsAndLists_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("control");   // "" for the title, "List#n" for entry n of a list
    QTest::addColumn<QString>("text");

    QTest::newRow("keys title en") << "keys" << 1 << "" << "Edit Keyboard Chord";
    QTest::newRow("keys title pt") << "keys" << 2 << "" << "Alterar Acorde de Teclado";
    QTest::newRow("keys title label es") << "keys" << 3 << "EditChordLabel" << "Alterar Acorde de Teclado";
    QTest::newRow("keys frame es") << "keys" << 3 << "ChordConfiguration" << "Configuración do Acorde";
    QTest::newRow("keys first row pt") << "keys" << 2 << "FisrtNoteLabel" << "Primeira Nota";
    QTest::newRow("keys fourth row es") << "keys" << 3 << "FourthNoteLabel" << "Cuarta Nota";
    QTest::newRow("keys octave heading es") << "keys" << 3 << "OctaveLabel" << "Octava";
    QTest::newRow("keys modify en") << "keys" << 1 << "Modify" << "&Modify";
    QTest::newRow("keys close pt") << "keys" << 2 << "CloseWindow" << "&Fechar";
    QTest::newRow("keys type 4 es") << "keys" << 3 << "ChordType#4" << "Séptima Maior";
    QTest::newRow("keys octave entries") << "keys" << 1 << "ThirdOctave#2" << " 3";
    QTest::newRow("keys last note") << "keys" << 1 << "FourthNote#11" << "B";
    QTest::newRow("guitar title pt") << "guitar" << 2 << "" << "Alterar Acorde de Violão";
    QTest::newRow("guitar title es") << "guitar" << 3 << "EditChordLabel" << "Alterar Acorde de Guitarra";
    QTest::newRow("guitar legend en") << "guitar" << 1 << "LegendX" << "X - Don\u00b4t play String";
    QTest::newRow("guitar legend es") << "guitar" << 3 << "Legend0" << "0 - Tocar la cuerda al aire";
    QTest::newRow("guitar strings pt") << "guitar" << 2 << "StringsLabel" << "Cordas";
    QTest::newRow("guitar close es") << "guitar" << 3 << "CloseWindow" << "&Cerrar";
    QTest::newRow("guitar type 8 pt") << "guitar" << 2 << "ChordType#8" << "Maior com Nona";
    QTest::newRow("guitar type 11 en") << "guitar" << 1 << "ChordType#11" << "Minor Sixth";
    QTest::newRow("guitar not played") << "guitar" << 1 << "SixthString#0" << "X";
    QTest::newRow("guitar fret 9") << "guitar" << 1 << "FirstString#10" << "9";
}

void ChordEditorsTest::captionsAndLists()
{
    QFETCH(QString, editor);
    QFETCH(int, language);
    QFETCH(QString, control);
    QFETCH(QString, text);

    Editors e;
    const auto dialog = e.open(editor, 0, 0, language);
    QCOMPARE(test::shownText(*dialog, control), text);
}

void ChordEditorsTest::tidyInEveryLanguage_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("type");
    for (const char* editor : {"keys", "guitar"})
        for (int language = 1; language <= 3; ++language)
            QTest::addRow("%s, language %d", editor, language) << editor << language << 3;
}

void ChordEditorsTest::tidyInEveryLanguage()
{
    QFETCH(QString, editor);
    QFETCH(int, language);
    QFETCH(int, type);

    Editors e;
    const auto dialog = e.open(editor, type, 0, language);
    test::verifyNothingCut(*dialog);
    test::verifyNoOverlap(*dialog);
}

void ChordEditorsTest::tabOrder_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("order");

    const QStringList rows{"FirstOctave", "FirstNote", "SecondOctave", "SecondNote", "ThirdOctave", "ThirdNote"};
    QTest::newRow("three-note chord") << "keys" << 0
        << (QStringList{"ChordType", "ChordNote"} + rows + QStringList{"Modify", "CloseWindow", "ChordType"});
    QTest::newRow("four-note chord") << "keys" << 2
        << (QStringList{"ChordType", "ChordNote"} + rows
            + QStringList{"FourthOctave", "FourthNote", "Modify", "CloseWindow", "ChordType"});
    QTest::newRow("guitar chord") << "guitar" << 0
        << QStringList{"ChordType", "ChordNote", "FirstString", "SecondString", "ThirdString", "FourthString",
                       "FifthString", "SixthString", "Modify", "CloseWindow", "ChordType"};
}

void ChordEditorsTest::tabOrder()
{
    QFETCH(QString, editor);
    QFETCH(int, type);
    QFETCH(QStringList, order);

    Editors e;
    const auto dialog = e.open(editor, type);
    QStringList visited{dialog->focusWidget()->objectName()};
    while (visited.size() < order.size()) {
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
        visited << dialog->focusWidget()->objectName();
    }
    QCOMPARE(visited, order);
}

QTEST_MAIN(ChordEditorsTest)
#include "ChordEditorsTest.moc"
