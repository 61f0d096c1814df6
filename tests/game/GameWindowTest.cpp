#include "FakeTimerHost.h"
#include "LayoutChecks.h"
#include "game/GameWindow.h"

#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include <deque>
#include <functional>
#include <memory>
#include <random>

using clavora::game::GameWindow;
using clavora::test::FakeTimerHost;

namespace {

constexpr std::uint32_t kSeed = 11;

// A game window on a fake clock that never moves, so pieces move only by
// keys. Actions queued with then() run one per pass of the game's loop, as
// the user's later key presses would; once they run out, Esc is pressed.
class Harness {
public:
    explicit Harness(std::uint32_t seed = kSeed)
        : host(std::make_shared<FakeTimerHost>())
        , window(nullptr, host, [seed] { return seed; })
    {
        host->onPump = [this] {
            QCoreApplication::processEvents();
            if (!window.isVisible())
                return;
            if (actions.empty()) {
                QTest::keyClick(key(), Qt::Key_Escape);
                return;
            }
            auto action = actions.front();
            actions.pop_front();
            action();
        };
        window.show();
    }

    QLineEdit* key() { return window.findChild<QLineEdit*>(QStringLiteral("txtKey")); }
    QLabel* label(const char* name) { return window.findChild<QLabel*>(QLatin1String(name)); }
    QString text(const char* name) { return label(name)->text(); }
    Harness& then(std::function<void()> action)
    {
        actions.push_back(std::move(action));
        return *this;
    }
    // Presses a key that starts a game; returns when that game has ended.
    void start(Qt::Key key) { QTest::keyClick(this->key(), key); }

    std::shared_ptr<FakeTimerHost> host;
    GameWindow window;
    std::deque<std::function<void()>> actions;
};

QColor colourOf(QLabel* label)
{
    return label->palette().color(QPalette::WindowText);
}

} // namespace

class GameWindowTest : public QObject {
    Q_OBJECT

private slots:
    void opensOverItsOwnerAndEscapeCloses()
    {
        QWidget owner;
        auto host = std::make_shared<FakeTimerHost>();
        GameWindow window(&owner, host, [] { return kSeed; });
        QCOMPARE(window.objectName(), QStringLiteral("frmBlokkan"));
        QCOMPARE(window.parentWidget(), &owner);
        QTimer::singleShot(0, &window, [&] { QTest::keyClick(window.findChild<QLineEdit*>("txtKey"), Qt::Key_Escape); });
        QCOMPARE(window.exec(), int{QDialog::Rejected});
        QCOMPARE(host->passes, 0); // closed before any game began
    }

    void startsGameAByItselfAfterHalfASecond()
    {
        Harness h;
        auto* tmrStart = h.window.findChild<QTimer*>(QStringLiteral("tmrStart"));
        QVERIFY(tmrStart->isActive());
        QCOMPARE(tmrStart->interval(), 500);
        int mode = -1, level = -1;
        h.then([&] {
            mode = h.window.game().Mode();
            level = h.window.game().CurrentLevel();
        });
        QMetaObject::invokeMethod(tmrStart, "timeout");
        QCOMPARE(mode, 0);
        QCOMPARE(level, 5);
        QVERIFY(!tmrStart->isActive());
        QVERIFY(!h.window.isVisible());
    }

    void gridIsDrawnInLinedUpMonospacedCells()
    {
        Harness h;
        QString grid, next;
        h.then([&] {
            grid = h.text("lblMatrix");
            next = h.text("lblNext");
        });
        h.start(Qt::Key_F2);
        const QStringList rows = grid.split(QLatin1Char('\n'));
        QCOMPARE(rows.size(), 19);
        for (int r = 0; r < 19; ++r) {
            QCOMPARE(rows[r].size(), 10);
            QCOMPARE(rows[r].count(QLatin1Char('#')) + rows[r].count(QChar(0x00B7)), 10);
        }
        QCOMPARE(grid.count(QLatin1Char('#')), 4);
        QCOMPARE(next.count(QLatin1Char('#')), 4);
        QCOMPARE(next.count(QLatin1Char('.')), 12);
        for (const char* name : {"lblMatrix", "lblNext"}) {
            QLabel* label = h.label(name);
            QVERIFY2(QFontInfo(label->font()).fixedPitch(), name);
            QVERIFY2(label->sizeHint().width() <= label->width(), name);
            QVERIFY2(label->sizeHint().height() <= label->height(), name);
        }
    }

    void keysMoveTurnAndDropThePiece_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("turns");
        QTest::addColumn<bool>("landed");
        QTest::newRow("Left") << int{Qt::Key_Left} << -1 << 0 << false;
        QTest::newRow("Right") << int{Qt::Key_Right} << 1 << 0 << false;
        QTest::newRow("Up turns clockwise") << int{Qt::Key_Up} << 0 << 1 << false;
        QTest::newRow("Space drops") << int{Qt::Key_Space} << 0 << 0 << true;
        QTest::newRow("Other keys do nothing") << int{Qt::Key_A} << 0 << 0 << false;
    }
    void keysMoveTurnAndDropThePiece()
    {
        QFETCH(int, key);
        QFETCH(int, dx);
        QFETCH(int, turns);
        QFETCH(bool, landed);
        Harness h;
        const clavora::game::Game& game = h.window.game();
        int x = 0, orientation = 0, count = 0, xAfter = 0, orientationAfter = 0, bottomBlocks = 0;
        h.then([&] {
            QTest::keyClick(h.key(), Qt::Key_Right); // away from the spawn column
            x = game.CurrentPiece().Position().X;
            orientation = game.CurrentPiece().Orientation();
            count = game.CurrentPiece().PossibleOrientations();
            QTest::keyClick(h.key(), static_cast<Qt::Key>(key));
            xAfter = game.CurrentPiece().Position().X;
            orientationAfter = game.CurrentPiece().Orientation();
            bottomBlocks = h.text("lblMatrix").split(QLatin1Char('\n')).at(18).count(QLatin1Char('#'));
        });
        h.start(Qt::Key_F2);
        if (landed) {
            QCOMPARE(xAfter, 3); // the next piece has come
            QVERIFY(bottomBlocks > 0);
        } else {
            QCOMPARE(xAfter, x + dx);
            QCOMPARE(orientationAfter, (orientation + turns) % count);
            QCOMPARE(bottomBlocks, 0);
        }
    }

    void keyReleasesAndFocus_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("autoRepeat");
        QTest::addColumn<bool>("focusLeaves");
        QTest::addColumn<bool>("fastDrop");
        QTest::newRow("Down released") << int{Qt::Key_Down} << false << false << false;
        QTest::newRow("Down repeating") << int{Qt::Key_Down} << true << false << true;
        QTest::newRow("Other key released") << int{Qt::Key_X} << false << false << true;
        QTest::newRow("Focus leaves while held") << 0 << false << true << false;
    }
    void keyReleasesAndFocus()
    {
        QFETCH(int, key);
        QFETCH(bool, autoRepeat);
        QFETCH(bool, focusLeaves);
        QFETCH(bool, fastDrop);
        Harness h;
        bool held = false, after = true;
        QString textAfter = QStringLiteral("?");
        h.then([&] {
            QTest::keyPress(h.key(), Qt::Key_Down);
            held = h.window.game().IsFastDrop();
            if (focusLeaves) {
                QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
                QCoreApplication::sendEvent(h.key(), &out);
            } else {
                QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(), autoRepeat);
                QCoreApplication::sendEvent(h.key(), &release);
            }
            after = h.window.game().IsFastDrop();
            textAfter = h.key()->text();
        });
        h.start(Qt::Key_F2);
        QVERIFY(held);
        QCOMPARE(after, fastDrop);
        QCOMPARE(textAfter, QString());
    }

    void heldNewGameKeyStartsOneGame()
    {
        Harness h;
        bool restarted = true;
        h.then([&] {
            QKeyEvent repeat(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier, QString(), true);
            QCoreApplication::sendEvent(h.key(), &repeat);
            restarted = !h.window.isVisible(); // a new game would have run until Esc
        });
        h.start(Qt::Key_F2);
        QVERIFY(!restarted);
    }

    void cheatWordSwitchesGodModeOn()
    {
        Harness h;
        QString next, message;
        h.then([&] {
            QTest::keyClicks(h.key(), QStringLiteral("xkrwot"));
            next = h.text("lblNext");
            message = h.text("lblMessage");
        });
        h.start(Qt::Key_F2);
        QVERIFY(h.window.game().GodMode);
        QCOMPARE(next, QStringLiteral("....\n....\n####\n...."));
        QCOMPARE(message, QStringLiteral("God Mode On"));
        QCOMPARE(colourOf(h.label("lblMessage")), h.window.palette().color(QPalette::ButtonText));
    }

    void newGameDuringAGameNestsAndBothEnd()
    {
        Harness h;
        const clavora::game::Game& game = h.window.game();
        QString linesInB, linesInA, messageInA;
        int levelInB = 0, levelInA = 0, highInA = -1;
        h.then([&] { QTest::keyClicks(h.key(), QStringLiteral("krwot")); })
            .then([&] { h.start(Qt::Key_F3); })
            .then([&] {
                levelInB = game.CurrentLevel();
                linesInB = h.text("lblLines");
            })
            .then([&] { h.start(Qt::Key_F2); })
            .then([&] {
                levelInA = game.CurrentLevel();
                highInA = game.High();
                linesInA = h.text("lblLines");
                messageInA = h.text("lblMessage");
            });
        h.start(Qt::Key_F2);
        QCOMPARE(levelInB, 7);
        QCOMPARE(linesInB, QStringLiteral("25"));
        QCOMPARE(levelInA, 5);
        QCOMPARE(highInA, 0);
        QCOMPARE(linesInA, QStringLiteral("0"));
        QCOMPARE(messageInA, QString());
        QVERIFY(!game.GodMode);
        QVERIFY(!h.window.isVisible());
    }

    void losingShowsTheEnding_data()
    {
        QTest::addColumn<bool>("cheat");
        QTest::addColumn<QString>("message");
        QTest::newRow("Plain") << false << QStringLiteral("Game Over");
        QTest::newRow("Cheating") << true << QStringLiteral("LOSER!");
    }
    void losingShowsTheEnding()
    {
        QFETCH(bool, cheat);
        QFETCH(QString, message);
        Harness h;
        if (cheat)
            h.then([&] { QTest::keyClicks(h.key(), QStringLiteral("KRWOT")); });
        for (int i = 0; i < 40; ++i)
            h.then([&] { QTest::keyClick(h.key(), Qt::Key_Space); });
        h.start(Qt::Key_F2); // returns when the stack reaches the top
        QVERIFY(h.window.isVisible());
        QCOMPARE(h.text("lblMessage"), message);
        QCOMPARE(colourOf(h.label("lblMessage")), QColor(128, 0, 0));
        QVERIFY(!h.window.game().AcceptMoves());
        clavora::test::verifyNothingCut(h.window);
    }

    // Game B cleared with the cheat: straight pieces stood in the deepest
    // column, one after another, until no rows are left. With this seed the
    // last clearing takes the count below 0.
    void cheatingThroughGameBShowsCheatCompleted()
    {
        Harness h(12);
        h.host->maxPasses = 5000;
        const clavora::game::Game& game = h.window.game();
        QStringList shownLines;
        std::function<void()> play = [&] {
            shownLines << h.text("lblLines");
            if (game.CurrentPiece().BlockType() != 6) {
                QTest::keyClick(h.key(), Qt::Key_Space);
            } else {
                int deepest = 0, depth = -1;
                for (int col = 0; col < 10; ++col) {
                    int top = 4; // the falling piece lies above row 4
                    while (top < 19 && game.Matrix().GetBlockType(col, top) == 0)
                        ++top;
                    if (top > depth) {
                        depth = top;
                        deepest = col;
                    }
                }
                QTest::keyClick(h.key(), Qt::Key_Up);
                for (int x = 4; x > deepest; --x)
                    QTest::keyClick(h.key(), Qt::Key_Left);
                for (int x = 4; x < deepest; ++x)
                    QTest::keyClick(h.key(), Qt::Key_Right);
                QTest::keyClick(h.key(), Qt::Key_Space);
            }
            h.then(play);
        };
        h.then([&] { QTest::keyClicks(h.key(), QStringLiteral("krwot")); }).then(play);
        h.start(Qt::Key_F3);
        QCOMPARE(h.text("lblMessage"), QStringLiteral("Cheat Completed"));
        QCOMPARE(colourOf(h.label("lblMessage")), QColor(0, 128, 0));
        clavora::test::verifyNothingCut(h.window);
        QVERIFY(game.Lines() < 0);
        QCOMPARE(h.text("lblLines"), QStringLiteral("0"));
        QVERIFY(shownLines.contains(QStringLiteral("25")));
        for (const QString& lines : shownLines)
            QVERIFY2(lines.toInt() >= 0, qPrintable(lines));
    }
};

QTEST_MAIN(GameWindowTest)
#include "GameWindowTest.moc"
