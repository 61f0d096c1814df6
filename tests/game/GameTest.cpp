// The game's timer loop and the game played on it, on a fake clock.
#include "game/Game.h"
#include "FakeTimerHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string_view>
#include <tuple>

using namespace clavora::game;
using clavora::test::FakeTimerHost;

namespace {

class TimerTest : public testing::Test {
protected:
    std::shared_ptr<FakeTimerHost> host = std::make_shared<FakeTimerHost>();
    std::shared_ptr<CustomTimer> timer = std::make_shared<CustomTimer>(host);
};

// The handler's run time and the interval it sets; when it fired and how
// long each pass was willing to sleep.
struct PeriodCase {
    const char* name;
    std::int64_t startClock;
    std::int32_t interval, handlerRunsMs, intervalAfterFirst;
    std::vector<std::int64_t> firedAt, waits;
};

class TimerPeriod : public TimerTest, public testing::WithParamInterface<PeriodCase> { };

// The loop sleeps in the host until the next firing is due, measuring each
// interval from the end of the previous handler; the handler that disables
// the timer ends the call after one last pass that does not wait.
TEST_P(TimerPeriod, FiresNoSoonerThanTheIntervalAfterTheHandlerEnds)
{
    const PeriodCase& c = GetParam();
    host->sleeps = true;
    host->now = c.startClock;
    timer->Interval(c.interval);
    std::vector<std::int64_t> fired;
    timer->OnTimer = [&] {
        fired.push_back(host->now - c.startClock);
        host->now += c.handlerRunsMs;
        timer->Interval(c.intervalAfterFirst);
        if (fired.size() == c.firedAt.size())
            timer->Enabled(false);
    };
    host->onPump = [&] { host->now += 1; }; // other events take a little time
    timer->Enabled(true);
    EXPECT_EQ(std::tie(fired, host->waits), std::tie(c.firedAt, c.waits));
}

INSTANTIATE_TEST_SUITE_P(Timers, TimerPeriod,
    testing::Values(PeriodCase {"IntervalZeroFiresEveryPass", 0, 0, 0, 0, {0, 1, 2, 3}, {0, 0, 0, 0}},
        PeriodCase {"SlowHandlerStretchesThePeriod", 1000, 15, 10, 15, {16, 42, 68}, {15, 15, 15, 0}},
        PeriodCase {"NewIntervalAtTheNextPass", 0, 15, 0, 40, {16, 57, 98}, {15, 40, 40, 0}},
        PeriodCase {
            "ClockBeyondThirtyTwoBits", (std::int64_t {1} << 32) - 20, 15, 2, 15, {16, 34, 52}, {15, 15, 15, 0}}),
    [](const testing::TestParamInfo<PeriodCase>& info) { return info.param.name; });

// A new game started during a game enables the running timer again: the
// period starts over and the running loop carries on, however often it
// happens, instead of a second loop inside the first one's pump.
TEST_F(TimerTest, EnablingDuringItsLoopRestartsThePeriodWithoutNesting)
{
    timer->Interval(15);
    int depth = 0, deepest = 0, restarts = 0;
    std::vector<std::int64_t> fired;
    timer->OnTimer = [&] {
        fired.push_back(host->now);
        if (fired.size() == 3)
            timer->Enabled(false);
    };
    // Restarts at 5 and 10 ms; every other pass takes 1 ms.
    host->onPump = [&] {
        deepest = std::max(deepest, ++depth);
        host->now += restarts < 2 ? 5 : 1;
        if (restarts < 2) {
            ++restarts;
            timer->Enabled(true);
        }
        --depth;
    };
    timer->Enabled(true);
    EXPECT_EQ(std::tuple(deepest, fired), std::tuple(1, std::vector<std::int64_t> {25, 40, 55}));
}

// Closing the game's window releases the timer from inside its own loop:
// the loop keeps it alive until it returns.
TEST_F(TimerTest, OutlivesItsReleaseInsideTheLoop)
{
    std::weak_ptr<CustomTimer> watch = timer;
    CustomTimer* running = timer.get();
    bool aliveInLoop = false;
    host->onPump = [&] {
        timer->Enabled(false);
        timer.reset();
        aliveInLoop = !watch.expired();
    };
    running->Enabled(true);
    EXPECT_TRUE(aliveInLoop && watch.expired());
}

// Writes the game's events as short lines, in the order they come; with
// `moves` off it leaves out the updates of the falling piece's box.
struct EventLog final : GameEvents {
    void GameStarted() override { lines.push_back("GameStarted"); }
    void MatrixUpdated(const Rectangle& a, bool next) override
    {
        if (moves || next || a.Width != 4)
            lines.push_back("MatrixUpdated " + std::to_string(a.X) + " " + std::to_string(a.Y) + " "
                + std::to_string(a.Width) + " " + std::to_string(a.Height) + (next ? " next" : " grid"));
    }
    void ScoreChanged() override { lines.push_back("ScoreChanged"); }
    void LineCleared() override { lines.push_back("LineCleared"); }
    void LevelUp() override { lines.push_back("LevelUp"); }
    void GameOver(bool user, bool done) override
    {
        lines.push_back(std::string("GameOver") + (user ? " user" : "") + (done ? " completed" : ""));
    }
    int count(const std::string& line) const { return int(std::ranges::count(lines, line)); }

    bool moves = true;
    std::vector<std::string> lines;
};

// A game on a fake clock. Steps given to play() run one per pass of the
// game's timer loop, as the user's key presses would; once they run out the
// game is paused, which ends the call that started it.
class GameFixture : public testing::Test {
protected:
    using Step = std::function<void()>;

    GameFixture()
    {
        game->setEvents(&log);
        host->onPump = [this] {
            if (steps.empty())
                return game->PauseGame();
            const Step step = steps.front();
            steps.pop_front();
            step();
        };
    }
    // By type 1 to 7: the first seed whose game begins with a piece of that type.
    static constexpr std::uint32_t kSeedForFirstPiece[] = {0, 7, 5, 1, 2, 18, 10, 4};
    void play(const std::vector<Step>& moves = {}, char mode = 'A')
    {
        steps.assign(moves.begin(), moves.end());
        mode == 'A' ? game->StartGameModeA() : game->StartGameModeB();
    }
    // Keys: L left, R right, U clockwise, C counterclockwise, D drop, G the cheat.
    void press(const std::string& keys)
    {
        using G = Game;
        static constexpr void (G::*kKeys[])() = {&G::MoveCurrentPieceLeft, &G::MoveCurrentPieceRight,
            &G::RotateCurrentPieceClockwise, &G::RotateCurrentPieceCounterclockwise, &G::DropPiece, &G::EnableGodMode};
        for (char k : keys)
            (game.get()->*kKeys[std::string_view("LRUCDG").find(k)])();
    }
    Step keys(const std::string& k)
    {
        return [this, k] { press(k); };
    }
    // From an empty floor, fills and clears `rows` rows at once with straight
    // pieces (god mode on): flat ones on columns 0 to 7, then two standing in
    // columns 8 and 9.
    void clearRows(std::vector<Step>& moves, int rows)
    {
        for (int layer = 0; layer < rows; ++layer)
            moves.insert(moves.end(), {keys("LLLD"), keys("RD")});
        moves.insert(moves.end(), {keys("URRRRD"), keys("URRRRRD")});
    }
    std::string grid() const { return game->Matrix().Text("#", ".", "/"); }
    std::string row(int r) const { return grid().substr(static_cast<std::size_t>(r) * 11, 10); }

    std::shared_ptr<FakeTimerHost> host = std::make_shared<FakeTimerHost>();
    std::uint32_t seed = 1;
    EventLog log;
    std::unique_ptr<Game> game = Blokkan::NewGame(host, [this] { return seed; });
    std::deque<Step> steps;
};

using Events = std::vector<std::string>;

// Every orientation each type has, drawn in the piece's own matrix as 4 x 4
// boxes (rows ended by '/', boxes by ' '); the next one is refused. Type 0
// is the empty piece.
TEST(Piece, DrawsEveryOrientationAndRefusesOthers)
{
    const char* const kShapes[] = {"..../..../..../..../ ", "..../..../##../.##./ ..../.#../##../#.../ ",
        "..../..../.##./##../ ..../#.../##../.#../ ",
        "..../..../###./..#./ ..../.#../.#../##../ ..../..../#.../###./ ..../##../#.../#.../ ",
        "..../..../###./#.../ ..../##../.#../.#../ ..../..../..#./###./ ..../#.../#.../##../ ", "..../..../.##./.##./ ",
        "..../..../####/..../ .#../.#../.#../.#../ ",
        "..../..../###./.#../ ..../.#../##../.#../ ..../.#../###./..../ ..../.#../.##./.#../ "};
    for (int type = 0; type <= 7; ++type) {
        Piece piece;
        piece.SetNew(type);
        const auto count = static_cast<std::int16_t>(std::max<int>(piece.PossibleOrientations(), 1));
        std::string drawn;
        for (std::int16_t o = 0; o < count; ++o) {
            piece.RotateTo(o);
            drawn += piece.Matrix().Text("#", ".", "/") + " ";
        }
        EXPECT_EQ(drawn, kShapes[type]) << "type " << type;
        EXPECT_THROW(piece.RotateTo(count), std::out_of_range);
        EXPECT_THROW((void)piece.SolidBlockPositionInGameMatrix(4, 0), std::out_of_range);
        EXPECT_THROW((void)piece.SolidBlockPositionInGameMatrix(0, -1), std::out_of_range);
    }
}

// A cell outside the grid's store is refused, never read or written past its end.
TEST(Matrix, RefusesCellsOutsideItsStore)
{
    Matrix matrix;
    for (const auto& [col, row] : {std::pair {-1, 0}, {0, -1}, {101, 0}, {0, 101}}) {
        EXPECT_THROW(matrix.SetBlockType(std::int16_t(col), std::int16_t(row), 1), std::out_of_range);
        EXPECT_THROW((void)matrix.GetBlockType(std::int16_t(col), std::int16_t(row)), std::out_of_range);
    }
}

// `clearings` times `rows` rows at once from `level`: the score and the level after.
struct ClearCase {
    std::int16_t level;
    int clearings, rows;
    std::int32_t score;
    std::int16_t levelAfter;
};

class RowClearing : public GameFixture, public testing::WithParamInterface<ClearCase> { };

// Points are the base for the rows cleared at once times the level plus one;
// every ten lines past the level's own ten raise the level, up to 21.
TEST_P(RowClearing, ScoresByTheTableAndRaisesTheLevel)
{
    const ClearCase& c = GetParam();
    seed = kSeedForFirstPiece[6];
    game->StartAtLevel(c.level);
    std::vector<Step> moves {keys("G")};
    for (int i = 0; i < c.clearings; ++i)
        clearRows(moves, c.rows);
    log.moves = false;
    play(moves);
    EXPECT_EQ(std::tuple(game->Score(), game->Lines(), game->CurrentLevel(), log.count("LevelUp")),
        std::tuple(c.score, c.clearings * c.rows, c.levelAfter, c.levelAfter - c.level));
    Events last {"ScoreChanged", "LineCleared", "MatrixUpdated 0 0 10 19 grid", "MatrixUpdated 0 0 4 4 next"};
    if (c.levelAfter != c.level)
        last.insert(last.begin() + 1, "LevelUp");
    EXPECT_EQ(Events(log.lines.end() - static_cast<long>(last.size()), log.lines.end()), last);
    // What is left of the standing pieces has come down.
    EXPECT_EQ(row(18), c.rows == 4 ? ".........." : "........##");
    EXPECT_EQ(row(14 + c.rows), "..........");
}

INSTANTIATE_TEST_SUITE_P(Levels, RowClearing,
    testing::Values(ClearCase {0, 1, 1, 40, 0}, ClearCase {0, 1, 4, 1200, 0}, ClearCase {5, 1, 2, 600, 5},
        ClearCase {9, 1, 3, 3000, 9}, ClearCase {5, 14, 4, 100800, 5}, ClearCase {5, 15, 4, 108000, 6},
        ClearCase {20, 53, 4, 1335600, 21}, ClearCase {21, 55, 4, 1452000, 21}));

// Game B begins on twice High rows of 3 to 8 random blocks; nine double rows
// reach where pieces appear, and a start with no room is over at once.
TEST_F(GameFixture, GameBFillsTwiceHighRowsAndMayEndAtOnce)
{
    game->High(9);
    int overAtOnce = 0;
    for (seed = 1; seed <= 20; ++seed) {
        const int passes = host->passes;
        play({}, 'B');
        const bool over = log.lines.back() == "GameOver";
        overAtOnce += over ? 1 : 0;
        EXPECT_EQ(std::tuple(host->passes - passes, game->Lines(), row(0)), std::tuple(over ? 0 : 1, 25, ".........."));
        if (over) { // the piece is drawn over what is in its way, the next one is not shown
            EXPECT_EQ(Events(log.lines.end() - 3, log.lines.end()),
                Events({"MatrixUpdated 3 0 4 4 grid", "MatrixUpdated 3 0 4 4 grid", "GameOver"}));
        }
        for (int r = 1; r < 19; r += r == 1 ? 3 : 1) { // rows 2 and 3 may hold the piece
            const auto blocks = std::ranges::count(row(r), '#');
            EXPECT_TRUE(blocks >= 3 && blocks <= 8) << "seed " << seed << " row " << r << ": " << row(r);
        }
    }
    EXPECT_GT(overAtOnce, 0);
}

// A cleared row brings every row above it down by one, the second row
// included: at Game B's highest start row 1 holds blocks and the top row
// none, so a row cleared below them leaves both empty.
TEST_F(GameFixture, ClearingARowBringsTheSecondRowDownToo)
{
    game->High(9);
    seed = 321; // the first piece, moved to the left wall, fills row 2
    std::string before;
    play({[&] {
        before = row(1);
        press("LLLLLD");
    }},
        'B');
    EXPECT_EQ(
        std::tuple(before, game->Lines(), row(0), row(1)), std::tuple(".###.##.#.", 24, "..........", ".........."));
}

// Six clearings of four rows, then one of 1 or 4 rows: the game is won as
// the next piece would appear, the count left at 25 - 24 - rows.
TEST_F(GameFixture, GameBEndsWhenNoRowsAreLeft)
{
    for (const auto& [rows, lines] : {std::pair {1, 0}, {4, -3}}) {
        seed = kSeedForFirstPiece[6];
        log.lines.clear();
        std::vector<Step> moves {keys("G")};
        for (int rowsAtOnce : {4, 4, 4, 4, 4, 4, rows, 4})
            clearRows(moves, rowsAtOnce);
        play(moves, 'B');
        // The last clearing never came.
        EXPECT_EQ(
            std::tuple(game->Lines(), log.count("LineCleared"), log.lines.back(), game->CurrentLevel(), steps.size()),
            std::tuple(lines, 7, "GameOver completed", 0, 10u));
        EXPECT_FALSE(game->AcceptMoves() || game->timer()->Enabled());
    }
    play(); // the cheat lasts one game
    EXPECT_FALSE(game->GodMode);
}

// At level 0 a piece falls a row every 60 passes, every 4 while the fast-drop
// key is held: from pass `press` (0: never) to pass `release` (0: landing);
// Space is pressed on pass `space` (0: never).
struct FastDropCase {
    int press, release, space;
    std::int32_t score;
    int landingPass;
};

class FastDrop : public GameFixture, public testing::WithParamInterface<FastDropCase> { };

TEST_P(FastDrop, ScoresTheRowsFallenWhileHeldIfStillHeldAtLanding)
{
    const FastDropCase& c = GetParam();
    host->sleeps = true;
    seed = kSeedForFirstPiece[6];
    host->onPump = [&] {
        const int pass = host->passes;
        game->IsFastDrop(c.press != 0 && pass >= c.press && (c.release == 0 || pass < c.release));
        if (pass == c.space)
            game->DropPiece();
        if (log.count("MatrixUpdated 0 0 4 4 next") == 2)
            game->PauseGame(); // the first piece has landed
    };
    game->StartGameModeA();
    EXPECT_EQ(std::tuple(game->Score(), log.count("ScoreChanged"), host->passes),
        std::tuple(c.score, c.score != 0 ? 1 : 0, c.landingPass));
}

INSTANTIATE_TEST_SUITE_P(Keys, FastDrop,
    testing::Values(FastDropCase {1, 0, 1, 16, 1}, FastDropCase {0, 0, 1, 0, 1}, FastDropCase {1, 0, 0, 16, 69},
        FastDropCase {600, 0, 0, 7, 629}, FastDropCase {1, 30, 0, 0, 629}));

// A piece of `type` moved by `keys` (G: straight pieces follow): where it
// stays, and rows 17 and 18 after.
struct PlaceCase {
    int type;
    const char* keys;
    std::int16_t x, orientation;
    const char* floor = "........../........../";
};

class Placing : public GameFixture, public testing::WithParamInterface<PlaceCase> { };

TEST_P(Placing, PiecesStayInsideTheWallsAndOffOtherBlocksAndRestOnTheFloor)
{
    const PlaceCase& c = GetParam();
    seed = kSeedForFirstPiece[c.type];
    play({keys(c.keys)});
    const Piece& piece = game->CurrentPiece();
    EXPECT_EQ(std::tuple(piece.Position().X, piece.Position().Y, piece.Orientation(), grid().substr(17 * 11)),
        std::tuple(c.x, 0, c.orientation, c.floor));
    EXPECT_EQ(std::ranges::count(grid(), '#'), 4 * (1 + std::ranges::count(std::string_view(c.keys), 'D')));
}

INSTANTIATE_TEST_SUITE_P(Moves, Placing,
    testing::Values(PlaceCase {6, "LLLLLLLL", 0, 0}, PlaceCase {6, "RRRRRRRR", 6, 0}, PlaceCase {6, "ULLLLLLU", -1, 1},
        PlaceCase {6, "URRRRRRU", 8, 1}, PlaceCase {7, "C", 3, 3}, PlaceCase {4, "UUUU", 3, 0},
        PlaceCase {3, "URRRRRRU", 8, 1}, PlaceCase {6, "GUDUDUDUDU", 3, 0, "....#...../....#...../"},
        PlaceCase {3, "D", 3, 0, "...###..../.....#..../"}));

// Paused, the game refuses every move until it is resumed; over, it stays over.
TEST_F(GameFixture, MovesChangeNothingWhilePausedOrOver)
{
    for (const bool over : {false, true}) {
        seed = kSeedForFirstPiece[6];
        play({[&] {
            if (over)
                game->EndGame();
        }});
        const auto before = std::tuple(grid(), log.lines.size());
        press("LRUCD");
        EXPECT_EQ(std::tuple(grid(), log.lines.size()), before);
        EXPECT_EQ(log.lines.back() == "GameOver user", over);
        steps.push_back(keys("L"));
        game->ResumeGame();
        EXPECT_EQ(game->CurrentPiece().Position().X, over ? 3 : 2);
        EXPECT_EQ(log.lines.size() > std::get<1>(before), !over);
        EXPECT_FALSE(game->AcceptMoves());
    }
}

} // namespace
