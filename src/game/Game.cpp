#include "Game.h"

#include "CustomTimer.h"

#include <algorithm>
#include <exception>

namespace clavora::game {

namespace {

constexpr Rectangle kWholeGrid {0, 0, Game::kWidth, Game::kHeight};
constexpr Rectangle kNextPieceBox {0, 0, Piece::kBoxSide, Piece::kBoxSide};

} // namespace

namespace Blokkan {

std::unique_ptr<Game> NewGame(std::shared_ptr<TimerHost> host, Game::Seeder seeder)
{
    auto game = std::make_unique<Game>(std::move(host), std::move(seeder));
    game->SetNew();
    return game;
}

int RandomInRange(std::mt19937& engine, int lower, int upper)
{
    std::uniform_int_distribution<int> range(std::min(lower, upper), std::max(lower, upper));
    return range(engine);
}

} // namespace Blokkan

Game::Game(std::shared_ptr<TimerHost> host, Seeder seeder)
    : host_(std::move(host))
    , seeder_(std::move(seeder))
    , events_(&noEvents_)
{
    if (!seeder_)
        seeder_ = [] { return std::random_device {}(); };
}

Game::~Game()
{
    Unload();
}

void Game::SetNew()
{
    matrix_.SetNew(kWidth, kHeight);
    tmrNextStep_ = std::make_shared<CustomTimer>(host_);
    tmrNextStep_->Interval(Blokkan::TickInterval);
    tmrNextStep_->OnTimer = [this] { tmrNextStep_OnTimer(); };
    mode_ = startAtLevel_ = high_ = currentLevel_ = 0;
    lines_ = score_ = 0;
    nextPiece_.SetNew(0);
    currentPiece_ = Piece {};
    acceptMoves_ = running_ = false;
}

void Game::Unload()
{
    if (!tmrNextStep_)
        return;
    // A loop still running on the timer keeps it alive until it returns.
    tmrNextStep_->OnTimer = nullptr;
    tmrNextStep_->Enabled(false);
    tmrNextStep_.reset();
    acceptMoves_ = running_ = false;
}

void Game::setTimerEnabled(bool enabled)
{
    if (tmrNextStep_)
        tmrNextStep_->Enabled(enabled);
}

void Game::StartAtLevel(std::int16_t value)
{
    startAtLevel_ = std::clamp<std::int16_t>(value, 0, kMaxLevel);
    currentLevel_ = startAtLevel_;
}

void Game::High(std::int16_t value)
{
    high_ = std::clamp<std::int16_t>(value, 0, kMaxHigh);
}

void Game::StartGameModeA()
{
    mode_ = 0;
    lines_ = 0;
    StartGame();
}

void Game::StartGameModeB()
{
    mode_ = 1;
    lines_ = kGameBLines;
    StartGame();
}

void Game::StartGame()
{
    GodMode = false;
    random_.seed(seeder_());
    matrix_.Clear();
    ticks_ = 0;
    score_ = 0;
    currentLevel_ = startAtLevel_;
    isFastDrop_ = false;
    running_ = true;
    nextPiece_.SetNew(RandomBlockType());
    if (mode_ == 1)
        FillGarbageRows(static_cast<std::int16_t>(high_ * 2));
    events_->MatrixUpdated(kWholeGrid, false);
    events_->GameStarted();
    SpawnNextPiece();
    // A start whose first piece has no room is over already.
    if (!running_)
        return;
    acceptMoves_ = true;
    setTimerEnabled(true);
}

void Game::PauseGame()
{
    setTimerEnabled(false);
    acceptMoves_ = false;
}

void Game::ResumeGame()
{
    // Only a paused game goes on; one that is over stays over.
    if (!running_ || acceptMoves_)
        return;
    events_->MatrixUpdated(kWholeGrid, false);
    acceptMoves_ = true;
    setTimerEnabled(true);
}

void Game::EndGame()
{
    FinishGame(true, false);
}

void Game::FinishGame(bool EndedByUser, bool GameCompleted)
{
    acceptMoves_ = false;
    running_ = false;
    setTimerEnabled(false);
    events_->GameOver(EndedByUser, GameCompleted);
}

void Game::MoveCurrentPieceRight()
{
    if (!acceptMoves_)
        return;
    ErasePiece();
    currentPiece_.MoveRight();
    if (!CanPlace(currentPiece_.Orientation()))
        currentPiece_.MoveLeft();
    DrawPiece();
}

void Game::MoveCurrentPieceLeft()
{
    if (!acceptMoves_)
        return;
    ErasePiece();
    currentPiece_.MoveLeft();
    if (!CanPlace(currentPiece_.Orientation()))
        currentPiece_.MoveRight();
    DrawPiece();
}

void Game::RotateCurrentPieceClockwise()
{
    RotatePiece(true);
}

void Game::RotateCurrentPieceCounterclockwise()
{
    RotatePiece(false);
}

void Game::RotatePiece(bool clockwise)
{
    if (!acceptMoves_)
        return;
    ErasePiece();
    const std::int16_t count = currentPiece_.PossibleOrientations();
    const std::int16_t now = currentPiece_.Orientation();
    std::int16_t next = 0;
    if (clockwise)
        next = static_cast<std::int16_t>(now + 1 == count ? 0 : now + 1);
    else
        next = static_cast<std::int16_t>(now == 0 ? count - 1 : now - 1);
    if (CanPlace(next)) {
        currentPiece_.RotateTo(next);
        DrawPiece();
        events_->MatrixUpdated(pieceBox(), false);
    } else {
        DrawPiece();
    }
}

void Game::DropPiece()
{
    if (!acceptMoves_)
        return;
    for (std::int16_t i = 0; i < kHeight; ++i) {
        if (!StepDown())
            break;
    }
}

void Game::EnableGodMode()
{
    GodMode = true;
    nextPiece_.SetNew(kStraightPiece);
    events_->MatrixUpdated(kNextPieceBox, true);
}

void Game::tmrNextStep_OnTimer()
{
    // A failing step is dropped; the grid is only changed after the checks
    // that could fail, so the game stays whole.
    try {
        ++ticks_;
        const std::size_t level = isFastDrop_ ? Blokkan::FastDropLevel : static_cast<std::size_t>(currentLevel_);
        if (ticks_ >= Blokkan::StepTicksByLevel.at(level))
            StepDown();
    } catch (const std::exception&) {
    }
}

bool Game::StepDown()
{
    ticks_ = 0;
    ErasePiece();
    currentPiece_.MoveDown();
    if (CanPlace(currentPiece_.Orientation())) {
        DrawPiece();
        if (isFastDrop_)
            ++fastDropRows_;
        return true;
    }
    currentPiece_.MoveUp();
    DrawPiece();
    LandPiece();
    return false;
}

void Game::LandPiece()
{
    if (isFastDrop_) {
        score_ += fastDropRows_;
        events_->ScoreChanged();
    }
    ClearFullLines();
    SpawnNextPiece();
}

void Game::ClearFullLines()
{
    int removed = 0;
    const std::int16_t top = currentPiece_.Position().Y;
    for (std::int16_t row = top; row <= top + 3; ++row) {
        if (row < 0 || row >= kHeight)
            continue;
        bool full = true;
        for (std::int16_t col = 0; col < kWidth && full; ++col)
            full = matrix_.GetBlockType(col, row) != 0;
        if (full) {
            RemoveLine(row);
            ++removed;
        }
    }
    if (removed == 0)
        return;
    const int base = Blokkan::LineScores[static_cast<std::size_t>(removed - 1)];
    score_ += base * currentLevel_ + base;
    events_->ScoreChanged();
    if (mode_ == 0) {
        lines_ += removed;
        CheckLevelUp();
    } else {
        lines_ -= removed;
    }
    events_->LineCleared();
    events_->MatrixUpdated(kWholeGrid, false);
}

void Game::RemoveLine(std::int16_t row)
{
    // Rows above move down by one; the top row keeps what it holds.
    for (std::int16_t r = row; r >= 1; --r)
        for (std::int16_t col = 0; col < kWidth; ++col)
            matrix_.SetBlockType(col, r, matrix_.GetBlockType(col, static_cast<std::int16_t>(r - 1)));
}

void Game::CheckLevelUp()
{
    if (lines_ >= (currentLevel_ + 1) * 10 && currentLevel_ <= 20) {
        ++currentLevel_;
        events_->LevelUp();
    }
}

void Game::SpawnNextPiece()
{
    if (mode_ == 1 && lines_ <= 0) {
        FinishGame(false, true);
        return;
    }
    currentPiece_ = nextPiece_;
    nextPiece_.SetNew(RandomBlockType());
    if (CanPlace(currentPiece_.Orientation())) {
        fastDropRows_ = 0;
        DrawPiece();
        events_->MatrixUpdated(kNextPieceBox, true);
    } else {
        DrawPiece();
        events_->MatrixUpdated(pieceBox(), false);
        FinishGame(false, false);
    }
}

std::int32_t Game::RandomBlockType()
{
    if (GodMode)
        return kStraightPiece;
    return Blokkan::RandomInRange(random_, 1, 7);
}

void Game::paintPiece(std::int32_t code)
{
    for (std::int16_t block = 0; block < Piece::kBlocks; ++block) {
        const point cell = currentPiece_.SolidBlockPositionInGameMatrix(block, currentPiece_.Orientation());
        if (cell.X >= 0 && cell.X < kWidth && cell.Y >= 0 && cell.Y < kHeight)
            matrix_.SetBlockType(cell.X, cell.Y, code);
    }
    events_->MatrixUpdated(pieceBox(), false);
}

void Game::ErasePiece()
{
    paintPiece(0);
}

void Game::DrawPiece()
{
    paintPiece(currentPiece_.BlockType());
}

Rectangle Game::pieceBox() const
{
    const game::Size& box = currentPiece_.Matrix().Size();
    return Rectangle {currentPiece_.Position().X, currentPiece_.Position().Y, box.Width, box.Height};
}

bool Game::CanPlace(std::int16_t orientation) const
{
    bool fits = true;
    for (std::int16_t block = 0; block < Piece::kBlocks; ++block) {
        const point cell = currentPiece_.SolidBlockPositionInGameMatrix(block, orientation);
        if (cell.X < 0 || cell.X >= kWidth || cell.Y < 0 || cell.Y >= kHeight)
            fits = false;
        else if (matrix_.GetBlockType(cell.X, cell.Y) != 0)
            fits = false;
    }
    return fits;
}

void Game::FillGarbageRows(std::int16_t rows)
{
    for (std::int16_t i = 1; i <= rows; ++i) {
        const auto row = static_cast<std::int16_t>(kHeight - i);
        const int count = Blokkan::RandomInRange(random_, 3, 8);
        for (int n = 0; n < count; ++n) {
            std::int16_t col = 0;
            do {
                col = static_cast<std::int16_t>(Blokkan::RandomInRange(random_, 0, kWidth - 1));
            } while (matrix_.GetBlockType(col, row) != 0);
            matrix_.SetBlockType(col, row, kGarbageBlock);
        }
    }
}

} // namespace clavora::game
