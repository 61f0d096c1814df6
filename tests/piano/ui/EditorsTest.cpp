// The chord editors and the drum-key editor, opened from the real main
// window and driven from the keyboard alone, as a player would.
#include "ProgramFixture.h"
#include "chords/ChordArea.h"
#include "drums/DrumPads.h"
#include "piano/Editors.h"

#include <QDialog>
#include <QLabel>
#include <QScopeGuard>
#include <QTimer>

#include <functional>

using namespace clavora;
using namespace clavora::test;
using Messages = std::vector<Message>;

Q_DECLARE_METATYPE(Messages)

namespace {

// Presses the keys of a script such as "Shift+F4 Tab Down*3 Enter" on a
// widget, each time on the widget's window's focus control. "Shift+" holds
// Shift around the key; "*n" repeats it.
void play(QWidget* window, const QString& script)
{
    static const QHash<QString, Qt::Key> names{
        {"Tab", Qt::Key_Tab}, {"Up", Qt::Key_Up},   {"Down", Qt::Key_Down}, {"Enter", Qt::Key_Return},
        {"Esc", Qt::Key_Escape}, {"F4", Qt::Key_F4}, {"F12", Qt::Key_F12}, {"Z", Qt::Key_Z}, {"C", Qt::Key_C},
    };
    for (QString token : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const bool shift = token.startsWith(QLatin1String("Shift+"));
        token.remove(QLatin1String("Shift+"));
        const QStringList parts = token.split(QLatin1Char('*'));
        const int times = parts.size() > 1 ? parts[1].toInt() : 1;
        QVERIFY2(names.contains(parts[0]), qPrintable(parts[0]));
        for (int i = 0; i < times; ++i) {
            QWidget* target = window->focusWidget() ? window->focusWidget() : window;
            if (shift)
                QTest::keyPress(target, Qt::Key_Shift, Qt::ShiftModifier);
            QTest::keyClick(target, names[parts[0]], shift ? Qt::ShiftModifier : Qt::NoModifier);
            if (shift)
                QTest::keyRelease(target, Qt::Key_Shift);
        }
    }
}

// Runs `drive` on the modal dialog the next command opens; whatever happens
// in it, the dialog does not stay open.
void onNextDialog(std::function<void(QDialog*)> drive)
{
    QTimer::singleShot(0, [drive] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        const auto closeAnyway = qScopeGuard([dialog] {
            if (dialog->isVisible())
                dialog->reject();
        });
        dialog->activateWindow();
        static_cast<void>(QTest::qWaitForWindowActive(dialog));
        drive(dialog);
    });
}

// Opens an editor the way the user does: Shift held over Shift+F12 until the
// editor is gone, so the chord modifier is still down when it closes.
void openEditor(Program& p, const QString& key)
{
    if (key == QLatin1String("Shift+F12")) {
        QTest::keyPress(p.focus(), Qt::Key_Shift, Qt::ShiftModifier);
        QTest::keyClick(p.focus(), Qt::Key_F12, Qt::ShiftModifier);
    } else {
        play(&p.window, key);
    }
}

} // namespace

class EditorsTest : public QObject {
    Q_OBJECT
private slots:
    void changeMadeByKeysIsHeardAtTheNextPress_data();
    void changeMadeByKeysIsHeardAtTheNextPress();
    void keysHeldWhenAnEditorOpensStopSounding_data();
    void keysHeldWhenAnEditorOpensStopSounding();
};

void EditorsTest::changeMadeByKeysIsHeardAtTheNextPress_data()
{
    QTest::addColumn<QString>("mode");       // keys in the main window before
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("edit");       // keys in the editor
    QTest::addColumn<Messages>("nextPress"); // what Z plays afterwards

    // C major becomes C E G in the lowest octave: "000407", on slot 1 at octave 4.
    QTest::newRow("keyboard chord") << "" << "Shift+F12" << "Edit Keyboard Chord"
                                    << "Tab Tab Tab Up*7 Tab Up Tab Down*4 Tab Up Tab Down*3 Enter"
                                    << Messages{msg(0x97, 48, 103), msg(0x97, 52, 103), msg(0x97, 55, 103)};
    // String 1 of C major not played: five strings from the A string, slot 6 at octave 3.
    QTest::newRow("guitar chord") << "F4" << "Shift+F12" << "Edit Guitar Chord" << "Tab Tab Up Enter"
                                  << Messages{msg(0x9D, 48, 103), msg(0x9D, 52, 103), msg(0x9D, 55, 103),
                                              msg(0x9D, 60, 103), msg(0x9D, 64, 103)};
    // Pad Z gets sound 46 (Open Triangle, note 81) at High intensity.
    QTest::newRow("drum key") << "Shift+F4" << "F12" << "Modify Drum Key" << "Tab Down*40 Tab Down Enter"
                              << Messages{msg(0x99, 81, 127)};
}

void EditorsTest::changeMadeByKeysIsHeardAtTheNextPress()
{
    QFETCH(QString, mode);
    QFETCH(QString, open);
    QFETCH(QString, title);
    QFETCH(QString, edit);
    QFETCH(Messages, nextPress);

    Program p;
    installEditors(p.window, p.piano, p.platform);
    play(&p.window, mode);
    QString shownTitle;
    onNextDialog([&](QDialog* dialog) {
        shownTitle = dialog->windowTitle();
        play(dialog, edit);
    });
    openEditor(p, open);
    QCOMPARE(shownTitle, title);
    QVERIFY(!QApplication::activeModalWidget());

    // Back in the main window: modifiers up, the window active again with the
    // focus on the key receiver.
    QCOMPARE(p.find<QLabel>(QStringLiteral("ChordType"))->text(), QStringLiteral("maj"));
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::activeWindow(), &p.window);
    QCOMPARE(QApplication::focusWidget(), p.focus());
    QTest::keyRelease(p.focus(), Qt::Key_Shift);
    p.midi.clear();
    QTest::keyPress(p.focus(), Qt::Key_Z);
    QCOMPARE(p.midi.messages(), nextPress);
    if (p.piano.playDrums()) {
        auto* number = p.find<QLabel>(QStringLiteral("lblDrumKeyNumber(0)"));
        QCOMPARE(number->text(), QStringLiteral("46"));
        QVERIFY(number->font().bold());
    }
}

void EditorsTest::keysHeldWhenAnEditorOpensStopSounding_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<Qt::Key>("held");
    QTest::addColumn<QString>("open");
    QTest::addColumn<Messages>("released");

    QTest::newRow("C major under the keyboard-chord editor")
        << "" << Qt::Key_Z << "Shift+F12" << Messages{msg(0x87, 55, 0), msg(0x87, 60, 0), msg(0x87, 64, 0)};
    QTest::newRow("C major under the guitar-chord editor")
        << "F4" << Qt::Key_Z << "Shift+F12"
        << Messages{msg(0x8D, 40, 0), msg(0x8D, 48, 0), msg(0x8D, 52, 0), msg(0x8D, 55, 0), msg(0x8D, 60, 0),
                    msg(0x8D, 64, 0)};
    QTest::newRow("pad C under the drum-key editor") << "Shift+F4" << Qt::Key_C << "F12" << Messages{msg(0x89, 41, 0)};
}

void EditorsTest::keysHeldWhenAnEditorOpensStopSounding()
{
    QFETCH(QString, mode);
    QFETCH(Qt::Key, held);
    QFETCH(QString, open);
    QFETCH(Messages, released);

    Program p;
    installEditors(p.window, p.piano, p.platform);
    play(&p.window, mode);
    QTest::keyPress(p.focus(), held);
    p.midi.clear();
    Messages whileOpen;
    onNextDialog([&](QDialog* dialog) {
        whileOpen = p.midi.messages();
        // The key comes up while the editor has the keyboard; Esc closes it.
        QTest::keyRelease(dialog->focusWidget(), held);
        play(dialog, QStringLiteral("Esc"));
    });
    openEditor(p, open);
    QCOMPARE(whileOpen, released);
    QCOMPARE(p.midi.messages(), released);

    // The key plays again at its next press.
    QTest::keyRelease(p.focus(), Qt::Key_Shift);
    p.midi.clear();
    QTest::keyPress(p.focus(), held);
    QCOMPARE(p.midi.messages().size(), released.size());
}

QTEST_MAIN(EditorsTest)
#include "EditorsTest.moc"
