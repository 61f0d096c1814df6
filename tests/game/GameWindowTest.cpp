#include "game/GameWindow.h"
#include "FakeTimerHost.h"
#include "LayoutChecks.h"

#include <QApplication>
#include <QFontInfo>
#include <QLineEdit>

#include <algorithm>
#include <deque>
#include <ranges>
#include <tuple>

namespace {

// A game window on a fake clock that never moves, so pieces move only by
// keys. Actions queued run one per pass of the game's loop, as the user's
// later key presses would; once they run out, Esc is pressed.
struct Harness {
    explicit Harness(std::uint32_t seed = 11)
        : seeder(seed)
    {
        host->onPump = [this] {
            QCoreApplication::processEvents();
            if (!window.isVisible())
                return;
            if (actions.empty())
                return QTest::keyClick(key, Qt::Key_Escape);
            const auto action = actions.front();
            actions.pop_front();
            action();
        };
        window.show();
    }
    QLabel* label(const char* name) { return clavora::test::child<QLabel>(window, name); }
    QString text(const char* name) { return label(name)->text(); }
    void send(QEvent::Type type, int k, bool repeat)
    {
        QKeyEvent e(type, k, Qt::NoModifier, QString(), repeat);
        QCoreApplication::sendEvent(key, &e);
    }

    std::shared_ptr<clavora::test::FakeTimerHost> host = std::make_shared<clavora::test::FakeTimerHost>();
    std::uint32_t seeder;
    clavora::game::GameWindow window {nullptr, host, [this] { return seeder; }};
    QLineEdit* key = clavora::test::child<QLineEdit>(window, "txtKey");
    std::deque<std::function<void()>> actions;
    const clavora::game::Game& game = window.game();
};

// A key pressed and let go (or the focus leaving): the piece's move and
// turns, the blocks in the grid shown afterwards, whether fast drop is on.
struct KeyCase {
    int key;
    bool autoRepeat, focusLeaves;
    int dx, turns, blocks;
    bool fastDrop;
};
// The key of the new game, the cheat typed or not, the level and message seen.
struct EndCase {
    int newGame;
    bool cheat;
    int level;
    QString message;
    QColor colour;
};

} // namespace

Q_DECLARE_METATYPE(KeyCase)
Q_DECLARE_METATYPE(EndCase)

class GameWindowTest : public QObject {
    Q_OBJECT

private slots:
    // Each row presses a key, then lets it go or moves the focus away.
    void keysMoveTurnAndDropThePiece_data()
    {
        QTest::addColumn<KeyCase>("c");
        QTest::newRow("Left") << KeyCase {Qt::Key_Left, false, false, -1, 0, 4, false};
        QTest::newRow("Up turns clockwise") << KeyCase {Qt::Key_Up, false, false, 0, 1, 4, false};
        QTest::newRow("Space drops, the next piece comes") << KeyCase {Qt::Key_Space, false, false, -1, 0, 8, false};
        QTest::newRow("Other keys do nothing") << KeyCase {Qt::Key_A, false, false, 0, 0, 4, false};
        QTest::newRow("Held F2 starts no game") << KeyCase {Qt::Key_F2, true, false, 0, 0, 4, false};
        QTest::newRow("Down held, repeating") << KeyCase {Qt::Key_Down, true, false, 0, 0, 4, true};
        QTest::newRow("Down let go") << KeyCase {Qt::Key_Down, false, false, 0, 0, 4, false};
        QTest::newRow("Down held, focus leaves") << KeyCase {Qt::Key_Down, false, true, 0, 0, 4, false};
    }
    void keysMoveTurnAndDropThePiece()
    {
        QFETCH(KeyCase, c);
        Harness h;
        int x = 0, turned = 0;
        bool fast = !c.fastDrop;
        QString grid;
        h.actions.push_back([&] {
            QTest::keyClick(h.key, Qt::Key_Right); // away from where pieces appear
            const int orientation = h.game.CurrentPiece().Orientation();
            h.send(QEvent::KeyPress, c.key, c.autoRepeat);
            QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
            c.focusLeaves ? void(QCoreApplication::sendEvent(h.key, &out))
                          : h.send(QEvent::KeyRelease, c.key, c.autoRepeat);
            x = h.game.CurrentPiece().Position().X;
            turned = (h.game.CurrentPiece().Orientation() - orientation + 4) % 4;
            fast = h.game.IsFastDrop();
            grid = h.text("lblMatrix");
        });
        QTest::keyClick(h.key, Qt::Key_F2); // returns when Esc ends the game
        QVERIFY(!h.window.isVisible());
        QCOMPARE(std::tuple(x, turned, fast, grid.count(QLatin1Char('#'))),
            std::tuple(4 + c.dx, c.turns, c.fastDrop, c.blocks));
        const QStringList rows = grid.split(QLatin1Char('\n'));
        QCOMPARE(rows.size(), 19);
        for (const QString& row : rows)
            QCOMPARE(row.count(QLatin1Char('#')) + row.count(QChar(0x00B7)), 10);
        QCOMPARE(h.text("lblNext").count(QLatin1Char('.')), 12);
        QVERIFY(
            QFontInfo(h.label("lblMatrix")->font()).fixedPitch() && QFontInfo(h.label("lblNext")->font()).fixedPitch());
    }

    // Clicks on the board, the scores or anywhere else in the window leave
    // the keys with the game: the key pressed next still moves the piece.
    void clicksLeaveTheKeysWithTheGame()
    {
        Harness h;
        int x = 0;
        h.actions.push_back([&] {
            for (QWidget* widget : h.window.findChildren<QWidget*>()) {
                if (widget != h.key && widget->isVisible())
                    QTest::mouseClick(widget, Qt::LeftButton);
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
            x = h.game.CurrentPiece().Position().X;
        });
        QTest::keyClick(h.key, Qt::Key_F2);
        QCOMPARE(x, 2); // one left of where pieces appear
    }

    // The start timer begins a game A; a new game started inside it with F2
    // or F3 is played to its end, with the cheat typed first or not.
    void gamesEndWithTheirMessage_data()
    {
        QTest::addColumn<EndCase>("c");
        QTest::newRow("Game A lost") << EndCase {Qt::Key_F2, false, 5, QStringLiteral("Game Over"), QColor(128, 0, 0)};
        QTest::newRow("Game A lost cheating")
            << EndCase {Qt::Key_F2, true, 5, QStringLiteral("LOSER!"), QColor(128, 0, 0)};
        QTest::newRow("Game B cheated through")
            << EndCase {Qt::Key_F3, true, 7, QStringLiteral("Cheat Completed"), QColor(0, 128, 0)};
    }
    void gamesEndWithTheirMessage()
    {
        QFETCH(EndCase, c);
        Harness h(12);
        h.host->maxPasses = 5000;
        int levelInGame = -1;
        QStringList shownLines;
        // Straight pieces in game B stand in the deepest column; anything
        // else is dropped where it appears.
        std::function<void()> play = [&] {
            shownLines << h.text("lblLines");
            if (h.game.Mode() == 1 && h.game.CurrentPiece().BlockType() == 6) {
                const auto depth = [&](int col) {
                    int top = 4; // the falling piece lies above row 4
                    while (top < 19 && h.game.Matrix().GetBlockType(col, top) == 0)
                        ++top;
                    return top;
                };
                const int deepest = *std::ranges::max_element(std::views::iota(0, 10), {}, depth);
                QTest::keyClick(h.key, Qt::Key_Up);
                for (int x = 4; x != deepest; x += deepest < x ? -1 : 1)
                    QTest::keyClick(h.key, deepest < x ? Qt::Key_Left : Qt::Key_Right);
            }
            QTest::keyClick(h.key, Qt::Key_Space);
            h.actions.push_back(play);
        };
        h.actions.push_back([&] {
            QCOMPARE(h.game.CurrentLevel(), 5);
            QTest::keyClick(h.key, static_cast<Qt::Key>(c.newGame)); // the running loop plays it on
        });
        h.actions.push_back([&] {
            levelInGame = h.game.CurrentLevel();
            if (c.cheat)
                QTest::keyClicks(h.key, QStringLiteral("xkrwot"));
            QCOMPARE(h.text("lblMessage"), c.cheat ? QStringLiteral("God Mode On") : QString());
            clavora::test::verifyNothingCut(h.window); // game B's count of 25 too
            h.actions.push_back(play);
        });
        auto* tmrStart = h.window.findChild<QTimer*>(QStringLiteral("tmrStart"));
        QVERIFY(tmrStart->isActive());
        QMetaObject::invokeMethod(tmrStart, "timeout");
        QVERIFY(h.window.isVisible());
        QCOMPARE(levelInGame, c.level);
        QCOMPARE(std::tuple(h.text("lblMessage"), h.label("lblMessage")->palette().color(QPalette::WindowText)),
            std::tuple(c.message, c.colour));
        QVERIFY(c.newGame == Qt::Key_F2 || h.game.Lines() < 0); // the last clearing went past none
        clavora::test::verifyNothingCut(h.window);
        // Game B counts down from 25; the count shown never goes below 0.
        QCOMPARE(shownLines.first(), c.newGame == Qt::Key_F3 ? QStringLiteral("25") : QStringLiteral("0"));
        QCOMPARE(h.text("lblLines"), QStringLiteral("0"));
        for (const QString& lines : shownLines)
            QVERIFY2(lines.toInt() >= 0, qPrintable(lines));
    }
};

QTEST_MAIN(GameWindowTest)
#include "GameWindowTest.moc"
