// The chord editors and the drum-key editor: opened from the real main
// window and driven from the keyboard alone, as a player would, and on their
// own for what they show, store and say in every language.
#include "piano/Editors.h"
#include "LayoutChecks.h"
#include "TextDigest.h"
#include "WindowProgram.h"
#include "chords/ChordArea.h"
#include "chords/ChordGuitarDialog.h"
#include "chords/ChordKeysDialog.h"
#include "drums/DrumKeyDialog.h"
#include "drums/DrumPads.h"

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QKeySequence>
#include <QPushButton>
#include <QRegularExpression>

#include <memory>

using namespace clavora;
using namespace clavora::test;

namespace {

// Presses the keys of a script such as "Shift+F4 Tab Down*3 Return" on a
// widget, each time on the widget's window's focus control. "Shift+" presses
// Shift around the key; "*n" repeats it.
void play(QWidget* window, const QString& script)
{
    for (const QString& token : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = token.split(QLatin1Char('*'));
        const QKeyCombination key = QKeySequence(parts[0])[0];
        QVERIFY2(key.key() != Qt::Key_unknown && QKeySequence(parts[0]).count() == 1, qPrintable(parts[0]));
        for (int i = 0; i < (parts.size() > 1 ? parts[1].toInt() : 1); ++i)
            QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, key.key(), key.keyboardModifiers());
    }
}

// An editor opened on its own over a started program: "keys", "guitar" or
// "drums", on chord type and root (or on a pad), shown and active.
std::unique_ptr<QDialog> showEditor(Program& p, const QString& editor, int typeOrPad = 0, int note = 0)
{
    chords::ChordTables& tables = p.piano.chordArea().tables();
    p.piano.drumPads().setLastDrumKey(editor == QLatin1String("drums") ? typeOrPad : 0);
    std::unique_ptr<QDialog> dialog;
    if (editor == QLatin1String("keys"))
        dialog = std::make_unique<chords::ChordKeysDialog>(tables, typeOrPad, note, p.piano.language(), p.platform);
    else if (editor == QLatin1String("guitar"))
        dialog = std::make_unique<chords::ChordGuitarDialog>(tables, typeOrPad, note, p.piano.language(), p.platform);
    else
        dialog = std::make_unique<DrumKeyDialog>(p.piano.drumPads(), p.piano.language());
    dialog->show();
    dialog->activateWindow();
    static_cast<void>(QTest::qWaitForWindowActive(dialog.get()));
    return dialog;
}

// Everything the editors can change: both chord tables and every pad.
QStringList definitions(Program& p)
{
    QStringList all;
    const chords::ChordTables& tables = p.piano.chordArea().tables();
    for (int index = 0; index < chords::kChordTableSize; ++index)
        all << tables.keyboardChord(index) << tables.guitarChord(index);
    for (int pad = 0; pad < DrumPads::kPadCount; ++pad)
        all << p.piano.drumPads().numberText(pad) + (p.piano.drumPads().isHigh(pad) ? u'H' : u'N');
    return all;
}

// Runs a script on a dialog's controls, one step each: "List=n" selects
// entry n of a list, "List:text" checks the entry the list shows, "+Name"
// and "-Name" check that a control is shown or hidden.
void run(QWidget* dialog, const QStringList& script)
{
    for (const QString& step : script) {
        if (step.startsWith(u'+') || step.startsWith(u'-')) {
            auto* control = dialog->findChild<QWidget*>(step.mid(1));
            QVERIFY2(control && control->isVisible() == step.startsWith(u'+'), qPrintable(step));
            continue;
        }
        const qsizetype split = step.indexOf(QRegularExpression(QStringLiteral("[=:]")));
        auto* list = dialog->findChild<QComboBox*>(step.left(split));
        QVERIFY2(list, qPrintable(step));
        if (step[split] == u'=')
            list->setCurrentIndex(step.mid(split + 1).toInt());
        else
            QCOMPARE(list->currentText(), step.mid(split + 1));
    }
}

// Every text a window shows, one line per control: title, frames, buttons,
// labels and every entry of every list.
QStringList shownTexts(QWidget& window)
{
    QStringList lines {window.windowTitle()};
    for (QWidget* w : window.findChildren<QWidget*>()) {
        QString text;
        if (auto* frame = qobject_cast<QGroupBox*>(w))
            text = frame->title();
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            text = button->text();
        else if (auto* label = qobject_cast<QLabel*>(w))
            text = label->text();
        else if (auto* list = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < list->count(); ++i)
                text += list->itemText(i) + u'|';
        lines << w->objectName() + u'\t' + text;
    }
    return lines;
}

// An editor opened on a chord or pad (C major stored beforehand, if any), a
// script run on it (see run()), then left (how, "" for not at all); what it
// stored at a position of definitions() (-1 for nothing), or the refusal shown.
struct EditorRow {
    QString editor = {};
    int typeOrPad = 0, note = 0;
    QString chord = {};
    int language = 1;
    QStringList script = {};
    QString how = {};
    int changed = -1;
    QString stored = {};
};

// Keys played in the main window (mode) and to open an editor after Z, the
// editor's title, the keys played in it, and what Z plays afterwards.
struct KeysRow {
    QString mode, open, title, edit;
    Messages nextPress;
};

} // namespace

Q_DECLARE_METATYPE(EditorRow)
Q_DECLARE_METATYPE(KeysRow)

class EditorsTest : public QObject {
    Q_OBJECT
    // One program for the tests that open an editor on their own, back to
    // its start-up definitions and English before each of them.
    std::unique_ptr<Program> shared_;

private slots:
    void initTestCase() { shared_ = std::make_unique<Program>(); }
    void init()
    {
        shared_->piano.chordArea().tables().loadDefaults();
        shared_->piano.drumPads().defaultDrumSettings();
        shared_->piano.drumPads().setLastDrumKey(0);
        shared_->piano.setLanguage(1);
        shared_->platform.boxes.clear();
    }

    void changeMadeByKeysIsHeardAtTheNextPress_data()
    {
        QTest::addColumn<KeysRow>("row");
        // C major becomes C E G in the lowest octave: "000407", on slot 1 at octave 4.
        QTest::newRow("keyboard chord") << KeysRow {"", "Shift+F12", "Edit Keyboard Chord",
            "Tab Tab Tab Up*7 Tab Up Tab Down*4 Tab Up Tab Down*3 Return",
            {msg(0x97, 48, 103), msg(0x97, 52, 103), msg(0x97, 55, 103)}};
        // String 1 of C major not played: five strings from the A string, slot 6 at octave 3.
        QTest::newRow("guitar chord") << KeysRow {"F4", "Shift+F12", "Edit Guitar Chord", "Tab Tab Up Return",
            {msg(0x9D, 48, 103), msg(0x9D, 52, 103), msg(0x9D, 55, 103), msg(0x9D, 60, 103), msg(0x9D, 64, 103)}};
        // Pad Z gets sound 46 (Open Triangle, note 81) at High intensity.
        QTest::newRow("drum key") << KeysRow {
            "Shift+F4", "F12", "Modify Drum Key", "Tab Down*40 Tab Down Return", {msg(0x99, 81, 127)}};
    }

    void changeMadeByKeysIsHeardAtTheNextPress()
    {
        QFETCH(KeysRow, row);
        const auto& [mode, open, title, edit, nextPress] = row;
        Program p;
        installEditors(p.window, p.piano, p.platform);
        play(&p.window, mode);
        QTest::keyClick(p.focus(), Qt::Key_Z); // the chord or pad the editor opens on
        QString shownTitle;
        onNextDialog([&](QWidget* dialog) {
            shownTitle = dialog->windowTitle();
            play(dialog, edit);
        });
        play(&p.window, open);
        QCOMPARE(shownTitle, title);

        // Back in the main window: active again with the focus on the key receiver.
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::activeWindow(), &p.window);
        QCOMPARE(QApplication::focusWidget(), p.focus());
        p.midi.clear();
        QTest::keyPress(p.focus(), Qt::Key_Z);
        QCOMPARE(p.midi.messages(), nextPress);
        if (p.piano.playDrums()) {
            QCOMPARE(p.text("lblDrumKeyNumber(0)"), QStringLiteral("46"));
            QVERIFY(p.find<QLabel>(QStringLiteral("lblDrumKeyNumber(0)"))->font().bold());
        }
    }

    void opensChoosesAndStores_data()
    {
        QTest::addColumn<EditorRow>("row");
        // Opened on the chord or pad asked for; another one chosen is loaded
        // over the unstored edits.
        QTest::newRow("no chord played yet") << EditorRow {.editor = "keys",
            .script = {"ChordType:Major (Normal)", "ChordNote:C", "FirstOctave: 1", "FirstNote:G", "SecondOctave: 2",
                "SecondNote:C", "ThirdOctave: 2", "ThirdNote:E", "-FourthNoteLabel", "-FourthOctave", "-FourthNote",
                "FirstNote=0", "SecondOctave=2", "ChordNote=2", "FirstNote:F#/Gb", "SecondOctave: 1"}};
        QTest::newRow("seventh") << EditorRow {.editor = "keys",
            .typeOrPad = 2,
            .script = {"ChordType:Seventh", "FirstNote:G", "SecondOctave: 1", "SecondNote:A#/Bb", "ThirdOctave: 2",
                "ThirdNote:C", "FourthOctave: 2", "FourthNote:E", "+FourthNoteLabel", "+FourthOctave", "+FourthNote"}};
        QTest::newRow("guitar, on the last type and root") << EditorRow {
            .editor = "guitar", .typeOrPad = 11, .note = 11, .script = {"ChordType:Minor Sixth", "ChordNote:B"}};
        QTest::newRow("pad C, then pad Q") << EditorRow {.editor = "drums",
            .typeOrPad = 2,
            .script = {"Key:C", "DrumSound:06 - Low Floor Tom", "Intensity:High", "DrumSound=30", "Intensity=1",
                "Key=22", "DrumSound:00 - Acoustic Bass Drum", "Intensity:Normal"}};
        // Stored: only the fields the chord has; a pad other than the last.
        QTest::newRow("minor: three fields whatever the hidden row") << EditorRow {.editor = "keys",
            .typeOrPad = 1,
            .script = {"ThirdNote=7", "FourthOctave=2", "FourthNote=5"},
            .how = "Modify",
            .changed = 2 * 12,
            .stored = "071219"};
        QTest::newRow("a pad other than the last") << EditorRow {.editor = "drums",
            .script = {"Key=46", "DrumSound=9", "Intensity=0"},
            .how = "Modify",
            .changed = 2 * chords::kChordTableSize + 46,
            .stored = "09N"};
        // Leaving without Modify stores nothing, whichever way.
        QTest::newRow("keys, CloseWindow")
            << EditorRow {.editor = "keys", .script = {"FirstNote=3"}, .how = "CloseWindow"};
        QTest::newRow("guitar, title bar")
            << EditorRow {.editor = "guitar", .script = {"ThirdString=0"}, .how = "title bar"};
        QTest::newRow("drums, Esc") << EditorRow {.editor = "drums", .script = {"DrumSound=40"}, .how = "Esc"};
        // A chord that cannot sound everywhere is refused and named.
        QTest::newRow("keyboard chord out of range") << EditorRow {.editor = "keys",
            .chord = "071299",
            .how = "Enter",
            .stored = "The chord was not changed: note 3 would not sound at every chord octave (MIDI notes 0 to 127 "
                      "on octaves 1 to 5)."};
        QTest::newRow("guitar chord out of range") << EditorRow {.editor = "guitar",
            .chord = "041216192499",
            .language = 2,
            .how = "Enter",
            .stored = "O acorde não foi alterado: a corda 6 não soaria em todas as "
                      "oitavas do acorde (notas MIDI de 0 a 127 nas oitavas 1 a 5)."};
    }

    void opensChoosesAndStores()
    {
        QFETCH(EditorRow, row);
        const auto& [editor, typeOrPad, note, chord, language, script, how, changed, stored] = row;
        Program& p = *shared_;
        p.piano.setLanguage(language);
        chords::ChordTables& tables = p.piano.chordArea().tables();
        if (!chord.isEmpty())
            editor == QLatin1String("keys") ? tables.setKeyboardChord(0, chord) : tables.setGuitarChord(0, chord);
        QStringList expected = definitions(p);
        if (changed >= 0)
            expected[changed] = stored;
        const auto dialog = showEditor(p, editor, typeOrPad, note);
        run(dialog.get(), script);
        if (how == QLatin1String("Modify") || how == QLatin1String("CloseWindow"))
            QTest::mouseClick(dialog->findChild<QPushButton*>(how), Qt::LeftButton);
        else if (how == QLatin1String("title bar"))
            dialog->close();
        else if (!how.isEmpty())
            QTest::keyClick(dialog->focusWidget(), how == QLatin1String("Esc") ? Qt::Key_Escape : Qt::Key_Return);
        QCOMPARE(definitions(p), expected);
        const bool refused = how == QLatin1String("Enter");
        QCOMPARE(dialog->isVisible(), refused || how.isEmpty());
        QCOMPARE(p.platform.boxes.size(), std::size_t(refused));
        if (refused) {
            QCOMPARE(p.platform.boxes[0].icon, MessageIcon::Exclamation);
            QCOMPARE(QString::fromStdString(p.platform.boxes[0].text), stored);
        }
        QCOMPARE(p.piano.drumPads().lastDrumKey(), editor == QLatin1String("drums") ? typeOrPad : 0);
    }

    void textsAndLayoutInEveryLanguage_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("digest"); // of every text shown, in the three languages
        for (const auto& [editor, digest] :
            {std::pair {"keys", "40665d58b61e7d44"}, {"guitar", "cd48e2937c02cdb9"}, {"drums", "36e152d8353a9ce1"}})
            QTest::newRow(editor) << QString::fromLatin1(editor) << QString::fromLatin1(digest);
    }

    void textsAndLayoutInEveryLanguage()
    {
        QFETCH(QString, editor);
        QFETCH(QString, digest);

        Program& p = *shared_;
        QStringList texts;
        for (int language = 1; language <= 3; ++language) {
            p.piano.setLanguage(language);
            const auto dialog = showEditor(p, editor, editor == QLatin1String("keys") ? 3 : 0);
            for (const QString& line : shownTexts(*dialog))
                texts << QString::number(language) + u'\t' + line;
            test::verifyNothingCut(*dialog);
            test::verifyNoOverlap(*dialog);
        }
        QVERIFY2(textDigest(texts) == digest.toStdString(),
            qPrintable(QString::fromStdString(textDigest(texts)) + u'\n' + texts.join(u'\n')));
    }
};

QTEST_MAIN(EditorsTest)
#include "EditorsTest.moc"
