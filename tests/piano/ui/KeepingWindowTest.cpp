// Program > Save Recording, New Recording, Open Setup and Save Setup in the
// real main window: the menus' mnemonics in every language, the file asked
// for, the boxes they show when something goes wrong.
#include "WindowProgram.h"
#include "keys/Setting.h"
#include "keys/VoiceArea.h"
#include "piano/Keeping.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <future>

using namespace clavora;
using namespace clavora::test;

class KeepingWindowTest : public QObject {
    Q_OBJECT

    // A program with the four commands, whose file dialog answers `answer`
    // and remembers the question.
    struct Keeper {
        Keeper()
        {
            Keeping keeping;
            keeping.takeHasNotes = [this] { return hasNotes; };
            keeping.saveTake = [this](const QString& path, const std::atomic<bool>& stop) {
                saved << path;
                return work ? work(stop) : failure;
            };
            keeping.forgetTake = [this] { ++forgets; };
            keeping.askFile = [this](QWidget*, const Keeping::FileQuestion& q) {
                questions.push_back(q);
                return answer;
            };
            keeping.clock = [] { return QDateTime(QDate(2026, 12, 7), QTime(9, 5, 59)); };
            installKeeping(p.window, p.piano, p.platform, keeping);
        }
        void run(const char* command) { p.find<QAction>(QLatin1String(command))->trigger(); }

        Program p;
        bool hasNotes = true;
        QString failure;
        std::function<QString(const std::atomic<bool>& stop)> work; // instead of `failure`
        QString answer;
        QStringList saved;
        int forgets = 0;
        std::vector<Keeping::FileQuestion> questions;
    };

private slots:
    // The mnemonics of the menu bar, then of each of its menus: one in
    // every caption, and no letter twice within a menu.
    void menusHaveUniqueMnemonics_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("mnemonics");
        QTest::newRow("English") << 1 << QStringList {"PVOH", "SRNOUMIX", "MT", "L", "HA"};
        QTest::newRow("Portuguese") << 2 << QStringList {"PXOA", "SGNACMER", "PF", "I", "AS"};
        QTest::newRow("Spanish") << 3 << QStringList {"PVOA", "SGNACMER", "PH", "I", "AC"};
    }
    void menusHaveUniqueMnemonics()
    {
        QFETCH(int, language);
        QFETCH(QStringList, mnemonics);
        Keeper k;
        k.p.piano.setLanguage(language);
        const auto letters = [](const QList<QAction*>& actions) {
            QString seen;
            for (const QAction* action : actions) {
                const QString text = action->text();
                if (!action->isSeparator())
                    seen += text.count(u'&') == 1 ? text.at(text.indexOf(u'&') + 1).toUpper() : u'?';
            }
            return seen;
        };
        const QList<QAction*> bar = k.p.window.menuBar()->actions();
        QStringList seen {letters(bar)};
        for (const QAction* menu : bar)
            seen << letters(menu->menu()->actions());
        QCOMPARE(seen, mnemonics);
    }

    void saveRecordingProposesADatedNameAndSaysWhyItFailed()
    {
        Keeper k;
        k.hasNotes = false;
        k.run("mnuSaveRecording");
        QCOMPARE(k.questions.size(), std::size_t(0));
        QCOMPARE(k.p.platform.boxes.back().text, std::string("Nothing has been played yet."));

        k.hasNotes = true;
        k.answer = QStringLiteral("/music/take.mid");
        k.failure = QStringLiteral("No space left on device");
        k.run("mnuSaveRecording");
        QCOMPARE(k.questions.size(), std::size_t(1));
        const Keeping::FileQuestion& q = k.questions.front();
        QCOMPARE(q.fileName, QStringLiteral("Clavora 2026-12-07 09-05.mid"));
        QVERIFY(QFileInfo(q.folder).isDir());
        QCOMPARE(q.title, QStringLiteral("Save Recording"));
        QVERIFY(q.saving);
        QCOMPARE(k.saved, QStringList({"/music/take.mid"}));
        QCOMPARE(k.p.platform.boxes.back().text,
            std::string("\"/music/take.mid\" could not be saved: No space left on device."));
        // The next dialog opens where this one ended; a cancelled one saves nothing.
        k.answer.clear();
        k.run("mnuSaveRecording");
        QCOMPARE(k.questions.back().folder, QStringLiteral("/music"));
        QCOMPARE(k.saved.size(), 1);
        k.run("mnuNewRecording");
        QCOMPARE(k.forgets, 1);
    }

    // A WAV file is made on a thread of its own under a modal box with a busy
    // bar, and the window's event loop goes on meanwhile; the work starts
    // unstopped, Cancel stops it and nothing more is said.
    void waveFileIsMadeWhileTheWindowGoesOn()
    {
        Keeper k;
        k.answer = QStringLiteral("/music/take.wav");
        std::promise<void> looked;
        std::future<void> lookedAt = looked.get_future();
        bool stoppedAtStart = true;
        k.work = [&](const std::atomic<bool>& stop) {
            stoppedAtStart = stop.load();
            // Only the window's thread can end this wait.
            const bool loopRan = lookedAt.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
            return loopRan ? QStringLiteral("No space left on device") : QStringLiteral("the window stood still");
        };
        QString label;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget()))
                label = box->labelText();
            looked.set_value();
        });
        k.run("mnuSaveRecording");
        QVERIFY(!stoppedAtStart);
        QCOMPARE(label, QStringLiteral("Saving the recording as a WAV file..."));
        QCOMPARE(k.p.platform.boxes.back().text,
            std::string("\"/music/take.wav\" could not be saved: No space left on device."));

        const std::size_t boxes = k.p.platform.boxes.size();
        bool stopped = false;
        k.work = [&](const std::atomic<bool>& stop) {
            stop.wait(false);
            stopped = true;
            return QStringLiteral("it was stopped");
        };
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->findChild<QPushButton*>()->click(); });
        k.run("mnuSaveRecording");
        QVERIFY(stopped);
        stopped = false; // Esc too
        QTimer::singleShot(0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
        k.run("mnuSaveRecording");
        QVERIFY(stopped);
        QCOMPARE(k.p.platform.boxes.size(), boxes);
        QCOMPARE(k.saved.size(), 3);
    }

    void setupSavedThenOpenedBringsTheSoundBackAndABadFileChangesNothing()
    {
        Keeper k;
        QTemporaryDir dir;
        VoiceArea& main = k.p.piano.mainArea();
        main.instrument().setValue(24);
        k.answer = dir.filePath(QStringLiteral("guitar.clavora"));
        k.run("mnuSaveSetup");
        QCOMPARE(k.questions.back().suffix, QStringLiteral("clavora"));
        QVERIFY(k.questions.back().saving);
        QVERIFY(k.p.platform.boxes.empty());

        main.instrument().setValue(0);
        k.run("mnuOpenSetup");
        QVERIFY(!k.questions.back().saving);
        QVERIFY(k.p.platform.boxes.empty());
        QCOMPARE(k.p.text("MainInstrumentLabel"), QStringLiteral("024 - Acoustic Guitar (nylon)"));

        QFile damaged(k.answer);
        QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write("{\"format\": \"Clavora setup\", \"version\": 1, \"main\": {\"voices\": 9}}");
        damaged.close();
        k.run("mnuOpenSetup");
        QCOMPARE(k.p.platform.boxes.size(), std::size_t(1));
        QCOMPARE(k.p.platform.boxes.back().icon, MessageIcon::Exclamation);
        QCOMPARE(k.p.platform.boxes.back().text,
            "The setup \"" + k.answer.toStdString()
                + "\" was not opened: main.voices is 9, outside 1 to 7. Nothing was changed.");

        // A folder that cannot take the file: nothing is left, the box says why.
        k.answer = dir.filePath(QStringLiteral("guitar.clavora/inside.clavora"));
        k.run("mnuSaveSetup");
        QCOMPARE(k.p.platform.boxes.size(), std::size_t(2));
        QVERIFY(QString::fromStdString(k.p.platform.boxes.back().text).startsWith(QStringLiteral("\"") + k.answer));
    }

    // Qt's own dialog, whatever the desktop: the proposed name in the
    // proposed folder, and a name typed without a suffix gets one.
    void qtsOwnFileDialogAddsTheSuffix()
    {
        QTemporaryDir dir;
        onNextDialog([&](QWidget* window) {
            auto* dialog = qobject_cast<QFileDialog*>(window);
            QVERIFY(dialog);
            QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
            QCOMPARE(dialog->directory().absolutePath(), QDir(dir.path()).absolutePath());
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            QCOMPARE(name->text(), QStringLiteral("Clavora 2026-12-07 09-05.mid"));
            name->setText(QStringLiteral("evening"));
            QTest::keyClick(name, Qt::Key_Return);
        });
        const QString typed = askFileWithQtDialog(nullptr,
            {QStringLiteral("Save Recording"), dir.path(), QStringLiteral("Clavora 2026-12-07 09-05.mid"),
                {QStringLiteral("MIDI files (*.mid *.midi)")}, QStringLiteral("mid"), true});
        QCOMPARE(typed, QDir(dir.path()).absoluteFilePath(QStringLiteral("evening.mid")));
    }
};

QTEST_MAIN(KeepingWindowTest)
#include "KeepingWindowTest.moc"
