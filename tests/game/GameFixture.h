#pragma once
#include "FakeTimerHost.h"
#include "game/CustomTimer.h"
#include "game/Game.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace clavora::test {

// Writes the game's events as short lines, in the order they come.
class EventLog final : public game::GameEvents {
public:
    void GameStarted() override { lines.push_back("GameStarted"); }
    void MatrixUpdated(const game::Rectangle& area, bool next) override
    {
        lines.push_back("MatrixUpdated " + std::to_string(area.X) + " " + std::to_string(area.Y) + " " +
                        std::to_string(area.Width) + " " + std::to_string(area.Height) + (next ? " next" : " grid"));
    }
    void ScoreChanged() override { lines.push_back("ScoreChanged"); }
    void LineCleared() override { lines.push_back("LineCleared"); }
    void LevelUp() override { lines.push_back("LevelUp"); }
    void GameOver(bool byUser, bool completed) override
    {
        lines.push_back(std::string("GameOver") + (byUser ? " user" : "") + (completed ? " completed" : ""));
    }
    int count(const std::string& line) const { return static_cast<int>(std::count(lines.begin(), lines.end(), line)); }

    std::vector<std::string> lines;
};

// A game on a fake clock. Steps given to play() are carried out one per pass
// of the game's timer loop, as the user's key presses would be; once they run
// out the game is paused, which ends the call that started it.
class GameFixture : public testing::Test {
protected:
    using Step = std::function<void()>;

    GameFixture()
    {
        game->setEvents(&log);
        host->onPump = [this] {
            if (steps.empty()) {
                game->PauseGame();
                return;
            }
            Step step = steps.front();
            steps.pop_front();
            step();
        };
    }

    // The first seed whose game begins with a piece of this type.
    static std::uint32_t seedForFirstPiece(int type)
    {
        for (std::uint32_t s = 1;; ++s) {
            std::mt19937 engine(s);
            if (game::Blokkan::RandomInRange(engine, 1, 7) == type)
                return s;
        }
    }

    void playA(std::vector<Step> moves = {}) { play(moves, [this] { game->StartGameModeA(); }); }
    void playB(std::vector<Step> moves = {}) { play(moves, [this] { game->StartGameModeB(); }); }
    void play(const std::vector<Step>& moves, const Step& start)
    {
        steps.assign(moves.begin(), moves.end());
        start();
    }

    // Moves a straight piece lying flat with its left end at column, or
    // standing in column, and drops it.
    Step straight(int column, bool upright)
    {
        return [this, column, upright] {
            if (upright)
                game->RotateCurrentPieceClockwise();
            const int target = upright ? column - 1 : column;
            for (int x = game->CurrentPiece().Position().X; x > target; --x)
                game->MoveCurrentPieceLeft();
            for (int x = game->CurrentPiece().Position().X; x < target; ++x)
                game->MoveCurrentPieceRight();
            game->DropPiece();
        };
    }
    // Straight pieces only from now on (the game must begin with one).
    Step godMode()
    {
        return [this] { game->EnableGodMode(); };
    }
    // Fills and clears rows rows at once from an empty floor: flat pieces on
    // columns 0 to 7, then two standing ones in columns 8 and 9.
    void clearRows(std::vector<Step>& moves, int rows)
    {
        for (int layer = 0; layer < rows; ++layer) {
            moves.push_back(straight(0, false));
            moves.push_back(straight(4, false));
        }
        moves.push_back(straight(8, true));
        moves.push_back(straight(9, true));
    }
    std::string grid() const { return game->Matrix().Text("#", ".", "/"); }
    // Row r of the grid as text.
    std::string row(int r) const { return grid().substr(static_cast<std::size_t>(r) * 11, 10); }

    std::shared_ptr<FakeTimerHost> host = std::make_shared<FakeTimerHost>();
    std::uint32_t seed = 1;
    EventLog log;
    std::unique_ptr<game::Game> game = game::Blokkan::NewGame(host, [this] { return seed; });
    std::deque<Step> steps;
};

} // namespace clavora::test
