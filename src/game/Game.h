#pragma once
#include "Grid.h"
#include "Piece.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>

namespace clavora::game {

class CustomTimer;
class TimerHost;

// What the game tells its owner; every handler is optional.
class GameEvents {
public:
    virtual ~GameEvents() = default;
    virtual void GameStarted() { }
    // Cells of the grid that changed (the area may reach outside the grid);
    // with NextPieceChanged the change is in the next piece's 4 x 4 box.
    virtual void MatrixUpdated(const Rectangle& /*UpdatedArea*/, bool /*NextPieceChanged*/) { }
    virtual void ScoreChanged() { }
    virtual void LineCleared() { }
    virtual void LevelUp() { }
    virtual void GameOver(bool /*EndedByUser*/, bool /*GameCompleted*/) { }
};

// One falling-block game at a time on a grid of 10 x 19: game A counts
// cleared rows up from 0, game B starts on rows of random blocks and is won
// when 25 rows are cleared. Pieces fall in steps of a CustomTimer; enabling
// it at the start (and on resume) runs the game inside that call until the
// game ends, is paused, or is unloaded; a game started while the timer's
// loop runs is carried on by that loop.
class Game {
public:
    static constexpr std::int16_t kWidth = 10;
    static constexpr std::int16_t kHeight = 19;
    static constexpr std::int16_t kMaxLevel = 21;
    static constexpr std::int16_t kMaxHigh = 9;
    static constexpr std::int32_t kGameBLines = 25;
    static constexpr std::int32_t kGarbageBlock = 5;
    static constexpr std::int32_t kStraightPiece = 6;

    // Gives the seed of the piece generator at every game start.
    using Seeder = std::function<std::uint32_t()>;

    // Without a seeder every game is seeded from std::random_device.
    Game(std::shared_ptr<TimerHost> host, Seeder seeder = {});
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    bool GodMode = false;

    // The listener of the game's events; none with nullptr.
    void setEvents(GameEvents* events) { events_ = events ? events : &noEvents_; }

    void Unload();
    void SetNew();
    void StartGameModeA();
    void StartGameModeB();
    void MoveCurrentPieceRight();
    void MoveCurrentPieceLeft();
    void RotateCurrentPieceClockwise();
    void RotateCurrentPieceCounterclockwise();
    void PauseGame();
    void ResumeGame();
    void EndGame();

    const game::Matrix& Matrix() const { return matrix_; }
    const Piece& NextPiece() const { return nextPiece_; }
    // The falling piece; type 0 before the first game.
    const Piece& CurrentPiece() const { return currentPiece_; }
    std::int32_t Lines() const { return lines_; }
    std::int16_t CurrentLevel() const { return currentLevel_; }
    std::int32_t Score() const { return score_; }
    std::int16_t Mode() const { return mode_; }
    bool IsFastDrop() const { return isFastDrop_; }
    void IsFastDrop(bool value) { isFastDrop_ = value; }
    bool AcceptMoves() const { return acceptMoves_; }
    std::int16_t StartAtLevel() const { return startAtLevel_; }
    // Held within 0 to 21; also sets CurrentLevel.
    void StartAtLevel(std::int16_t value);
    std::int16_t High() const { return high_; }
    // Held within 0 to 9.
    void High(std::int16_t value);

    void DropPiece();
    void EnableGodMode();

    // One tick of the step timer, as the timer fires it.
    void tmrNextStep_OnTimer();
    const CustomTimer* timer() const { return tmrNextStep_.get(); }

private:
    void StartGame();
    void RotatePiece(bool clockwise);
    bool StepDown();
    void LandPiece();
    void ClearFullLines();
    void RemoveLine(std::int16_t row);
    void CheckLevelUp();
    void SpawnNextPiece();
    std::int32_t RandomBlockType();
    void ErasePiece();
    void DrawPiece();
    void FinishGame(bool EndedByUser, bool GameCompleted);
    void FillGarbageRows(std::int16_t rows);
    bool CanPlace(std::int16_t orientation) const;

    void paintPiece(std::int32_t code);
    Rectangle pieceBox() const;
    void setTimerEnabled(bool enabled);

    std::shared_ptr<TimerHost> host_;
    Seeder seeder_;
    std::mt19937 random_;
    GameEvents* events_ = nullptr;
    GameEvents noEvents_;

    std::int16_t mode_ = 0;
    std::int16_t startAtLevel_ = 0;
    std::int16_t high_ = 0;
    std::int16_t currentLevel_ = 0;
    std::int32_t lines_ = 0;
    std::int32_t score_ = 0;
    game::Matrix matrix_;
    Piece currentPiece_;
    Piece nextPiece_;
    bool acceptMoves_ = false;
    bool isFastDrop_ = false;
    bool running_ = false;
    std::int16_t fastDropRows_ = 0;
    std::int16_t ticks_ = 0;
    std::shared_ptr<CustomTimer> tmrNextStep_;
};

namespace Blokkan {

// The step timer's interval in milliseconds.
inline constexpr std::int16_t TickInterval = 15;
// Timer ticks between two steps of the falling piece at each level 0 to 21.
inline constexpr std::array<std::int16_t, 22> StepTicksByLevel {
    60, 56, 50, 44, 40, 36, 30, 24, 19, 12, 11, 10, 9, 8, 7, 7, 6, 5, 5, 5, 4, 0};
// Base points for clearing 1, 2, 3 or 4 rows at once.
inline constexpr std::array<std::int16_t, 5> LineScores {40, 100, 300, 1200, 0};
// The level whose step count applies while the fast-drop key is held.
inline constexpr std::size_t FastDropLevel = 20;

// A new game object, ready to start.
std::unique_ptr<Game> NewGame(std::shared_ptr<TimerHost> host, Game::Seeder seeder = {});
// A whole number from lower to upper, both included, every one equally likely.
int RandomInRange(std::mt19937& engine, int lower, int upper);

} // namespace Blokkan

} // namespace clavora::game
