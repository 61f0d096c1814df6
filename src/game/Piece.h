#pragma once
#include "Grid.h"

#include <array>
#include <cstdint>

namespace clavora::game {

// One falling piece: its type 1 to 7, the orientations the type has, its own
// 4 x 4 matrix showing the current orientation, and the grid cell of the
// box's top-left corner. Moves do not look at the grid: the rules move a
// piece, test it and move it back when it does not fit.
// Any other type makes the empty piece: no orientations, an empty matrix.
class Piece {
public:
    static constexpr int kBoxSide = 4;
    static constexpr int kMaxOrientations = 4;
    static constexpr int kBlocks = 4;

    void SetNew(std::int32_t iBlockType);
    // Stores the orientation and redraws the own matrix; an orientation the
    // type does not have throws std::out_of_range after storing it.
    void RotateTo(std::int16_t iOrientation);
    void MoveLeft() { --position_.X; }
    void MoveRight() { ++position_.X; }
    void MoveDown() { ++position_.Y; }
    void MoveUp() { --position_.Y; }
    // Position plus the cell of block intNumber in orientation intOrientation;
    // std::out_of_range for a block or orientation the piece does not have.
    point SolidBlockPositionInGameMatrix(std::int16_t intNumber, std::int16_t intOrientation) const;

    std::int32_t BlockType() const { return blockType_; }
    const game::Matrix& Matrix() const { return matrix_; }
    const point& Position() const { return position_; }
    std::int16_t PossibleOrientations() const { return possibleOrientations_; }
    std::int16_t Orientation() const { return orientation_; }

private:
    void RefreshMatrix();
    const point& shapePoint(std::int16_t block, std::int16_t orientation) const;

    std::int32_t blockType_ = 0;
    std::int16_t possibleOrientations_ = 0;
    std::int16_t orientation_ = 0;
    std::array<std::array<point, kBlocks>, kMaxOrientations> shape_ {};
    game::Matrix matrix_;
    point position_;
};

} // namespace clavora::game
