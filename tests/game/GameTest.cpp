#include "GameFixture.h"

#include <map>

using clavora::test::GameFixture;

namespace {

using Events = std::vector<std::string>;

TEST_F(GameFixture, GameAStartsAtItsLevelWithEventsInOrder)
{
    game->StartAtLevel(5);
    playA();
    EXPECT_EQ(game->Lines(), 0);
    EXPECT_EQ(game->Score(), 0);
    EXPECT_EQ(game->CurrentLevel(), 5);
    EXPECT_EQ(log.lines, (Events{"MatrixUpdated 0 0 10 19 grid", "GameStarted", "MatrixUpdated 3 0 4 4 grid",
                                 "MatrixUpdated 0 0 4 4 next"}));
    // The first piece shows in rows 2 and 3.
    const std::string top = grid().substr(0, 44);
    EXPECT_EQ(top.substr(0, 22), "........../........../");
    EXPECT_NE(top.substr(22), "........../........../");
}

class GameBStart : public GameFixture, public testing::WithParamInterface<std::uint32_t> {};

TEST_P(GameBStart, FillsTwiceHighRowsFromTheBottomNeverFull)
{
    seed = GetParam();
    game->High(5);
    playB();
    EXPECT_EQ(game->Lines(), 25);
    for (std::int16_t r = 0; r < 19; ++r) {
        int garbage = 0;
        for (std::int16_t c = 0; c < 10; ++c)
            garbage += game->Matrix().GetBlockType(c, r) == 5 ? 1 : 0;
        if (r >= 9) {
            EXPECT_GE(garbage, 3) << "row " << r;
            EXPECT_LE(garbage, 8) << "row " << r;
        } else if (game->CurrentPiece().BlockType() != 5) {
            EXPECT_EQ(garbage, 0) << "row " << r;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, GameBStart, testing::Values(1u, 2u, 3u, 77u, 4096u));

struct ScoreCase {
    std::int16_t level;
    int rows;
    std::int32_t score;
};

class RowClearing : public GameFixture, public testing::WithParamInterface<ScoreCase> {};

TEST_P(RowClearing, ScoresTheBasePointsTimesLevelPlusOne)
{
    const ScoreCase& c = GetParam();
    seed = seedForFirstPiece(6);
    game->StartAtLevel(c.level);
    std::vector<Step> moves{godMode()};
    clearRows(moves, c.rows);
    playA(moves);
    EXPECT_EQ(game->Score(), c.score);
    EXPECT_EQ(game->Lines(), c.rows);
    EXPECT_EQ(log.count("ScoreChanged"), 1);
    EXPECT_EQ(log.count("LineCleared"), 1);
    // The standing pieces' tops stay above the cleared rows.
    EXPECT_EQ(row(18), c.rows == 4 ? ".........." : "........##");
    EXPECT_EQ(row(18 - (4 - c.rows)), "..........");
}

INSTANTIATE_TEST_SUITE_P(Levels, RowClearing,
                         testing::Values(ScoreCase{0, 1, 40}, ScoreCase{0, 4, 1200}, ScoreCase{5, 4, 7200},
                                         ScoreCase{5, 2, 600}, ScoreCase{9, 3, 3000}, ScoreCase{21, 1, 880}));

struct LevelCase {
    std::int16_t start;
    int clears; // four rows each
    std::int16_t level;
    int levelUps;
};

class LevelRise : public GameFixture, public testing::WithParamInterface<LevelCase> {};

TEST_P(LevelRise, GameARisesOneLevelPerTenLinesAboveTheCurrentLevel)
{
    const LevelCase& c = GetParam();
    seed = seedForFirstPiece(6);
    game->StartAtLevel(c.start);
    std::vector<Step> moves{godMode()};
    for (int i = 0; i < c.clears; ++i)
        clearRows(moves, 4);
    playA(moves);
    EXPECT_EQ(game->Lines(), 4 * c.clears);
    EXPECT_EQ(game->CurrentLevel(), c.level);
    EXPECT_EQ(log.count("LevelUp"), c.levelUps);
}

INSTANTIATE_TEST_SUITE_P(Lines, LevelRise,
                         testing::Values(LevelCase{0, 2, 0, 0}, LevelCase{0, 3, 1, 1}, LevelCase{0, 5, 2, 2},
                                         LevelCase{5, 14, 5, 0}, LevelCase{5, 15, 6, 1}, LevelCase{20, 1, 20, 0}, LevelCase{20, 53, 21, 1},
                                         LevelCase{21, 2, 21, 0}));

struct CompletionCase {
    const char* name;
    std::vector<int> clearings; // rows cleared at once, in order
    std::int32_t lines;
};

class GameBCompletion : public GameFixture, public testing::WithParamInterface<CompletionCase> {};

TEST_P(GameBCompletion, EndsWhenNoRowsAreLeftAsTheNextPieceWouldAppear)
{
    const CompletionCase& c = GetParam();
    seed = seedForFirstPiece(6);
    std::vector<Step> moves{godMode()};
    for (int rows : c.clearings)
        clearRows(moves, rows);
    clearRows(moves, 4); // never needed
    playB(moves);
    EXPECT_EQ(game->Lines(), c.lines);
    EXPECT_EQ(log.count("LineCleared"), static_cast<int>(c.clearings.size()));
    EXPECT_EQ(log.lines.back(), "GameOver completed");
    EXPECT_FALSE(game->AcceptMoves());
    EXPECT_FALSE(game->timer()->Enabled());
    EXPECT_EQ(game->CurrentLevel(), 0);
    EXPECT_EQ(steps.size(), 10u);
}

INSTANTIATE_TEST_SUITE_P(Lines, GameBCompletion,
                         testing::Values(CompletionCase{"ExactlyNone", {4, 4, 4, 4, 4, 4, 1}, 0},
                                         CompletionCase{"PastNone", {4, 4, 4, 4, 4, 4, 4}, -3}),
                         [](const testing::TestParamInfo<CompletionCase>& info) { return info.param.name; });

TEST_F(GameFixture, ASeededGamePlaysToItsEndAndReplaysExactly)
{
    host->sleeps = true;
    host->onPump = nullptr; // nobody plays: the pieces pile up
    seed = 2024;
    game->StartAtLevel(20);
    game->StartGameModeA(); // returns when the game is lost
    EXPECT_EQ(log.lines.back(), "GameOver");
    EXPECT_FALSE(game->AcceptMoves());
    const std::string firstGrid = grid();
    const Events firstLog = log.lines;

    log.lines.clear();
    game->StartGameModeA();
    EXPECT_EQ(grid(), firstGrid);
    EXPECT_EQ(log.lines, firstLog);

    log.lines.clear();
    seed = 2025;
    game->StartGameModeA();
    EXPECT_NE(log.lines, firstLog);
}

struct FastDropCase {
    const char* name;
    bool held;
    std::int32_t score;
    int scoreChanges;
};

class HardDrop : public GameFixture, public testing::WithParamInterface<FastDropCase> {};

TEST_P(HardDrop, ScoresTheRowsFallenOnlyWhileTheFastDropKeyIsHeld)
{
    const FastDropCase& c = GetParam();
    seed = seedForFirstPiece(6);
    playA({[&] {
        game->IsFastDrop(c.held);
        game->DropPiece();
    }});
    EXPECT_EQ(game->Score(), c.score);
    EXPECT_EQ(log.count("ScoreChanged"), c.scoreChanges);
    EXPECT_EQ(row(18), "...####...");
}

INSTANTIATE_TEST_SUITE_P(Keys, HardDrop,
                         testing::Values(FastDropCase{"Held", true, 16, 1}, FastDropCase{"NotHeld", false, 0, 0}),
                         [](const testing::TestParamInfo<FastDropCase>& info) { return info.param.name; });

// Steps by the timer: one tick per pass, the fast-drop key pressed on pass
// `press` and, when `release` is not 0, let go on that pass.
struct FallCase {
    const char* name;
    int press;
    int release;
    int landingPass; // the pass that sees the next piece
};

class TimedFall : public GameFixture, public testing::WithParamInterface<FallCase> {};

TEST_P(TimedFall, FastDropScoresTheRowsFallenWhileHeldWhenStillHeldAtLanding)
{
    const FallCase& c = GetParam();
    host->sleeps = true;
    seed = seedForFirstPiece(6);
    game->StartAtLevel(0); // 60 ticks a row, 4 while the key is held
    int pressedAtRow = -1;
    int landedAt = 0;
    std::vector<Step> moves;
    for (int pass = 1; pass <= 2000; ++pass) {
        moves.push_back([this, pass, &c, &pressedAtRow, &landedAt] {
            if (pass == c.press) {
                game->IsFastDrop(true);
                pressedAtRow = game->CurrentPiece().Position().Y;
            }
            if (pass == c.release)
                game->IsFastDrop(false);
            if (log.count("MatrixUpdated 0 0 4 4 next") == 2) {
                landedAt = pass;
                game->PauseGame(); // the first piece has landed
            }
        });
    }
    playA(moves);
    ASSERT_GE(pressedAtRow, 0);
    EXPECT_EQ(game->Score(), c.release != 0 ? 0 : 16 - pressedAtRow);
    EXPECT_EQ(landedAt, c.landingPass);
    EXPECT_EQ(row(18), "...####...");
}

INSTANTIATE_TEST_SUITE_P(Keys, TimedFall,
                         testing::Values(FallCase{"HeldFromTheStart", 1, 0, 69}, FallCase{"HeldForTheLastRows", 600, 0, 629},
                                         FallCase{"LetGoBeforeLanding", 1, 30, 629}),
                         [](const testing::TestParamInfo<FallCase>& info) { return info.param.name; });

TEST_F(GameFixture, GodModeDealsStraightPiecesUntilTheNextGame)
{
    seed = seedForFirstPiece(3);
    std::vector<Step> moves{godMode()};
    std::vector<int> types;
    for (int i = 0; i < 5; ++i)
        moves.push_back([this, &types] {
            game->DropPiece();
            types.push_back(game->CurrentPiece().BlockType());
        });
    playA(moves);
    EXPECT_TRUE(game->GodMode);
    EXPECT_EQ(types, (std::vector<int>{6, 6, 6, 6, 6}));
    EXPECT_EQ(game->NextPiece().BlockType(), 6);
    EXPECT_EQ(log.lines[4], "MatrixUpdated 0 0 4 4 next"); // shown at once

    playA();
    EXPECT_FALSE(game->GodMode);
}

// Key presses: L left, R right, U clockwise, C counterclockwise.
struct PlaceCase {
    const char* name;
    int type;
    const char* keys;
    std::int16_t x;
    std::int16_t orientation;
};

class Placing : public GameFixture, public testing::WithParamInterface<PlaceCase> {};

TEST_P(Placing, PiecesStayInsideTheWalls)
{
    const PlaceCase& c = GetParam();
    seed = seedForFirstPiece(c.type);
    playA({[&] {
        for (const char* k = c.keys; *k; ++k) {
            switch (*k) {
            case 'L': game->MoveCurrentPieceLeft(); break;
            case 'R': game->MoveCurrentPieceRight(); break;
            case 'U': game->RotateCurrentPieceClockwise(); break;
            case 'C': game->RotateCurrentPieceCounterclockwise(); break;
            }
        }
    }});
    EXPECT_EQ(game->CurrentPiece().Position().X, c.x);
    EXPECT_EQ(game->CurrentPiece().Position().Y, 0);
    EXPECT_EQ(game->CurrentPiece().Orientation(), c.orientation);
    // The grid holds exactly the piece's four blocks.
    const std::string text = grid();
    EXPECT_EQ(std::count(text.begin(), text.end(), '#'), 4);
}

INSTANTIATE_TEST_SUITE_P(
    Walls, Placing,
    testing::Values(PlaceCase{"FlatToLeftWall", 6, "LLLLLLLL", 0, 0}, PlaceCase{"FlatToRightWall", 6, "RRRRRRRR", 6, 0},
                    PlaceCase{"StandingBoxReachesOutLeft", 6, "ULLLLLLL", -1, 1},
                    PlaceCase{"StandingToRightWall", 6, "URRRRRRR", 8, 1},
                    PlaceCase{"TurnRefusedAtLeftWall", 6, "ULLLLLU", -1, 1},
                    PlaceCase{"TurnRefusedAtRightWall", 6, "URRRRRU", 8, 1},
                    PlaceCase{"TurnBackInTheMiddle", 6, "UU", 3, 0},
                    PlaceCase{"CounterclockwiseWrapsToLast", 7, "C", 3, 3},
                    PlaceCase{"FullTurnClockwise", 4, "UUUU", 3, 0},
                    PlaceCase{"BentTurnRefusedAtRightWall", 3, "URRRRRRU", 8, 1}),
    [](const testing::TestParamInfo<PlaceCase>& info) { return info.param.name; });

struct FloorCase {
    int type;
    const char* row17;
    const char* row18;
};

class Landing : public GameFixture, public testing::WithParamInterface<FloorCase> {};

TEST_P(Landing, DroppedPieceRestsOnTheFloor)
{
    const FloorCase& c = GetParam();
    seed = seedForFirstPiece(c.type);
    playA({[this] { game->DropPiece(); }});
    EXPECT_EQ(row(17), c.row17);
    EXPECT_EQ(row(18), c.row18);
    EXPECT_EQ(row(16), "..........");
}

INSTANTIATE_TEST_SUITE_P(SevenPieces, Landing,
                         testing::Values(FloorCase{1, "...##.....", "....##...."}, FloorCase{2, "....##....", "...##....."},
                                         FloorCase{3, "...###....", ".....#...."}, FloorCase{4, "...###....", "...#......"},
                                         FloorCase{5, "....##....", "....##...."}, FloorCase{6, "..........", "...####..."},
                                         FloorCase{7, "...###....", "....#....."}));

TEST_F(GameFixture, TurningTheSquareRedrawsItUnchanged)
{
    seed = seedForFirstPiece(5);
    std::string before;
    playA({[this, &before] {
        before = grid();
        log.lines.clear();
        game->RotateCurrentPieceClockwise();
    }});
    EXPECT_EQ(grid(), before);
    EXPECT_EQ(log.lines, (Events{"MatrixUpdated 3 0 4 4 grid", "MatrixUpdated 3 0 4 4 grid", "MatrixUpdated 3 0 4 4 grid"}));
}

struct RefusedCase {
    const char* name;
    bool over;
    char key;
};

class RefusedMoves : public GameFixture, public testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedMoves, ChangeNothingWhilePausedOrOver)
{
    const RefusedCase& c = GetParam();
    playA({[&] {
        if (c.over)
            game->EndGame();
    }});
    const std::string before = grid();
    const auto position = game->CurrentPiece().Position();
    const std::size_t events = log.lines.size();
    switch (c.key) {
    case 'L': game->MoveCurrentPieceLeft(); break;
    case 'R': game->MoveCurrentPieceRight(); break;
    case 'U': game->RotateCurrentPieceClockwise(); break;
    case 'C': game->RotateCurrentPieceCounterclockwise(); break;
    case 'D': game->DropPiece(); break;
    case 'S': game->ResumeGame(); break;
    }
    EXPECT_EQ(grid(), before);
    EXPECT_EQ(game->CurrentPiece().Position().X, position.X);
    EXPECT_EQ(game->CurrentPiece().Position().Y, position.Y);
    EXPECT_EQ(log.lines.size(), events);
    EXPECT_FALSE(game->AcceptMoves());
}

INSTANTIATE_TEST_SUITE_P(
    States, RefusedMoves,
    testing::Values(RefusedCase{"PausedLeft", false, 'L'}, RefusedCase{"PausedRight", false, 'R'},
                    RefusedCase{"PausedTurn", false, 'U'}, RefusedCase{"PausedTurnBack", false, 'C'},
                    RefusedCase{"PausedDrop", false, 'D'}, RefusedCase{"OverLeft", true, 'L'},
                    RefusedCase{"OverRight", true, 'R'}, RefusedCase{"OverTurn", true, 'U'},
                    RefusedCase{"OverDrop", true, 'D'}, RefusedCase{"OverResume", true, 'S'}),
    [](const testing::TestParamInfo<RefusedCase>& info) { return info.param.name; });

TEST_F(GameFixture, ResumeGoesOnWherePauseLeft)
{
    seed = seedForFirstPiece(6);
    playA({[this] { game->MoveCurrentPieceLeft(); }});
    log.lines.clear();
    steps.push_back([this] { game->MoveCurrentPieceLeft(); });
    game->ResumeGame();
    EXPECT_EQ(log.lines.front(), "MatrixUpdated 0 0 10 19 grid");
    EXPECT_EQ(game->CurrentPiece().Position().X, 1);
}

TEST_F(GameFixture, StartingDuringAGameBeginsAfreshAndBothCallsReturn)
{
    host->maxPasses = 100;
    seed = seedForFirstPiece(6);
    int nestedStarts = 0;
    playA({[this] { game->DropPiece(); },
           [this, &nestedStarts] {
               ++nestedStarts;
               game->StartAtLevel(7);
               game->StartGameModeB(); // runs the new game until it ends
           },
           [this] { game->EndGame(); }});
    EXPECT_EQ(nestedStarts, 1);
    EXPECT_EQ(game->Mode(), 1);
    EXPECT_EQ(game->Lines(), 25);
    EXPECT_EQ(game->CurrentLevel(), 7);
    EXPECT_EQ(log.lines.back(), "GameOver user");
    EXPECT_EQ(log.count("GameStarted"), 2);
}

struct RangeCase {
    std::int16_t level, expectedLevel, high, expectedHigh;
};

class HeldInRange : public GameFixture, public testing::WithParamInterface<RangeCase> {};

TEST_P(HeldInRange, LevelAndHeightStayInsideTheTables)
{
    const RangeCase& c = GetParam();
    game->StartAtLevel(c.level);
    game->High(c.high);
    EXPECT_EQ(game->StartAtLevel(), c.expectedLevel);
    EXPECT_EQ(game->CurrentLevel(), c.expectedLevel);
    EXPECT_EQ(game->High(), c.expectedHigh);
}

INSTANTIATE_TEST_SUITE_P(Owner, HeldInRange,
                         testing::Values(RangeCase{-1, 0, -1, 0}, RangeCase{22, 21, 10, 9}, RangeCase{21, 21, 9, 9},
                                         RangeCase{300, 21, 300, 9}));

TEST_F(GameFixture, AStartWithNoRoomForTheFirstPieceIsOverAtOnce)
{
    // Nine double rows reach the rows where pieces appear.
    game->High(9);
    bool found = false;
    int passesBefore = 0;
    for (seed = 1; seed < 50 && !found; ++seed) {
        log.lines.clear();
        passesBefore = host->passes;
        playB();
        found = log.lines.back() == "GameOver";
    }
    ASSERT_TRUE(found);
    EXPECT_EQ(host->passes, passesBefore); // no game ran
    EXPECT_FALSE(game->AcceptMoves());
    EXPECT_FALSE(game->timer()->Enabled());
}

TEST(PieceChoice, EveryTypeOneToSevenAboutEquallyOftenAndNeverTheEmptyPiece)
{
    auto host = std::make_shared<clavora::test::FakeTimerHost>();
    std::uint32_t seed = 0;
    auto game = clavora::game::Blokkan::NewGame(host, [&seed] { return ++seed; });
    host->onPump = [&] { game->PauseGame(); };
    std::map<int, int> counts;
    constexpr int kGames = 3500;
    for (int i = 0; i < kGames; ++i) {
        game->StartGameModeA();
        ++counts[game->CurrentPiece().BlockType()];
        ++counts[game->NextPiece().BlockType()];
    }
    ASSERT_EQ(counts.size(), 7u);
    EXPECT_EQ(counts.begin()->first, 1);
    EXPECT_EQ(counts.rbegin()->first, 7);
    for (const auto& [type, count] : counts) {
        EXPECT_GT(count, 2 * kGames / 7 * 85 / 100) << "type " << type;
        EXPECT_LT(count, 2 * kGames / 7 * 115 / 100) << "type " << type;
    }
}

} // namespace
