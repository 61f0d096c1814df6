#include "GameFixture.h"
#include "game/Piece.h"

#include <string_view>
#include <tuple>
#include <utility>

using clavora::test::GameFixture;
using namespace clavora::game;

namespace {

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
    seed = seedForFirstPiece(6);
    game->StartAtLevel(c.level);
    std::vector<Step> moves {keys("G")};
    for (int i = 0; i < c.clearings; ++i)
        clearRows(moves, c.rows);
    log.moves = false;
    playA(moves);
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
        ClearCase {9, 1, 3, 3000, 9}, ClearCase {21, 1, 1, 880, 21}, ClearCase {0, 2, 4, 2400, 0},
        ClearCase {0, 3, 4, 3600, 1}, ClearCase {5, 14, 4, 100800, 5}, ClearCase {5, 15, 4, 108000, 6},
        ClearCase {20, 53, 4, 1335600, 21}, ClearCase {21, 55, 4, 1452000, 21}));

// Game B begins on twice High rows of 3 to 8 random blocks; nine double rows
// reach where pieces appear, and a start with no room is over at once.
TEST_F(GameFixture, GameBFillsTwiceHighRowsAndMayEndAtOnce)
{
    game->High(9);
    int overAtOnce = 0;
    for (seed = 1; seed <= 20; ++seed) {
        const int passes = host->passes;
        playB();
        const bool over = log.lines.back() == "GameOver";
        overAtOnce += over ? 1 : 0;
        EXPECT_EQ(std::tuple(host->passes - passes, game->Lines(), row(0)), std::tuple(over ? 0 : 1, 25, ".........."));
        for (int r = 1; r < 19; r += r == 1 ? 3 : 1) { // rows 2 and 3 may hold the piece
            const auto blocks = std::ranges::count(row(r), '#');
            EXPECT_TRUE(blocks >= 3 && blocks <= 8) << "seed " << seed << " row " << r << ": " << row(r);
        }
    }
    EXPECT_GT(overAtOnce, 0);
}

// Six clearings of four rows, then one of 1 or 4 rows: the game is won as
// the next piece would appear, the count left at 25 - 24 - rows.
TEST_F(GameFixture, GameBEndsWhenNoRowsAreLeft)
{
    for (const auto& [rows, lines] : {std::pair {1, 0}, {4, -3}}) {
        seed = seedForFirstPiece(6);
        log.lines.clear();
        std::vector<Step> moves {keys("G")};
        for (int rowsAtOnce : {4, 4, 4, 4, 4, 4, rows, 4})
            clearRows(moves, rowsAtOnce);
        playB(moves);
        // The last clearing never came.
        EXPECT_EQ(
            std::tuple(game->Lines(), log.count("LineCleared"), log.lines.back(), game->CurrentLevel(), steps.size()),
            std::tuple(lines, 7, "GameOver completed", 0, 10u));
        EXPECT_FALSE(game->AcceptMoves() || game->timer()->Enabled());
    }
    playA(); // the cheat lasts one game
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
    seed = seedForFirstPiece(6);
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
    EXPECT_EQ(row(18), "...####...");
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
    seed = seedForFirstPiece(c.type);
    playA({keys(c.keys)});
    const Piece& piece = game->CurrentPiece();
    EXPECT_EQ(
        std::tuple(piece.Position().X, piece.Position().Y, piece.Orientation()), std::tuple(c.x, 0, c.orientation));
    const std::string text = grid();
    const std::string_view pressed = c.keys;
    EXPECT_EQ(std::count(text.begin(), text.end(), '#'), 4 * (1 + std::count(pressed.begin(), pressed.end(), 'D')));
    EXPECT_EQ(text.substr(17 * 11), c.floor);
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
        seed = seedForFirstPiece(6);
        playA({[&] {
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
