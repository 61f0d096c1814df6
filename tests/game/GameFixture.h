#pragma once
#include "FakeTimerHost.h"
#include "game/Game.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <string_view>

namespace clavora::test {

// Writes the game's events as short lines, in the order they come; with
// `moves` off it leaves out the updates of the falling piece's box.
struct EventLog final : game::GameEvents {
    void GameStarted() override { lines.push_back("GameStarted"); }
    void MatrixUpdated(const game::Rectangle& a, bool next) override
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

// A game on a fake clock. Steps given to playA() and playB() run one per pass
// of the game's timer loop, as the user's key presses would; once they run
// out the game is paused, which ends the call that started it.
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
    // The first seed whose game begins with a piece of this type.
    static std::uint32_t seedForFirstPiece(int type)
    {
        for (std::uint32_t s = 1;; ++s)
            if (std::mt19937 engine(s); game::Blokkan::RandomInRange(engine, 1, 7) == type)
                return s;
    }
    void playA(const std::vector<Step>& moves = {})
    {
        steps.assign(moves.begin(), moves.end());
        game->StartGameModeA();
    }
    void playB(const std::vector<Step>& moves = {})
    {
        steps.assign(moves.begin(), moves.end());
        game->StartGameModeB();
    }
    // Keys: L left, R right, U clockwise, C counterclockwise, D drop, G the cheat.
    void press(const std::string& keys)
    {
        using G = game::Game;
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
    std::unique_ptr<game::Game> game = game::Blokkan::NewGame(host, [this] { return seed; });
    std::deque<Step> steps;
};

} // namespace clavora::test
