#include "Piece.h"

#include <stdexcept>

namespace clavora::game {

namespace {

struct Shape {
    std::int16_t orientations;
    std::array<std::array<point, Piece::kBlocks>, Piece::kMaxOrientations> blocks;
};

// The seven pieces, blocks in block order as (X, Y) inside the 4 x 4 box.
// Orientation k + 1 is orientation k turned a quarter turn clockwise.
constexpr std::array<Shape, 7> kShapes {{
    {2, {{{{{0, 2}, {1, 2}, {1, 3}, {2, 3}}}, {{{1, 1}, {0, 2}, {1, 2}, {0, 3}}}}}},
    {2, {{{{{1, 2}, {2, 2}, {0, 3}, {1, 3}}}, {{{0, 1}, {0, 2}, {1, 2}, {1, 3}}}}}},
    {4,
        {{{{{0, 2}, {1, 2}, {2, 2}, {2, 3}}}, {{{1, 1}, {1, 2}, {0, 3}, {1, 3}}}, {{{0, 2}, {0, 3}, {1, 3}, {2, 3}}},
            {{{0, 1}, {1, 1}, {0, 2}, {0, 3}}}}}},
    {4,
        {{{{{0, 2}, {1, 2}, {2, 2}, {0, 3}}}, {{{0, 1}, {1, 1}, {1, 2}, {1, 3}}}, {{{2, 2}, {0, 3}, {1, 3}, {2, 3}}},
            {{{0, 1}, {0, 2}, {0, 3}, {1, 3}}}}}},
    {1, {{{{{1, 2}, {2, 2}, {1, 3}, {2, 3}}}}}},
    {2, {{{{{0, 2}, {1, 2}, {2, 2}, {3, 2}}}, {{{1, 0}, {1, 1}, {1, 2}, {1, 3}}}}}},
    {4,
        {{{{{0, 2}, {1, 2}, {2, 2}, {1, 3}}}, {{{1, 1}, {0, 2}, {1, 2}, {1, 3}}}, {{{1, 1}, {0, 2}, {1, 2}, {2, 2}}},
            {{{1, 1}, {1, 2}, {2, 2}, {1, 3}}}}}},
}};

bool isPieceType(std::int32_t type)
{
    return type >= 1 && type <= static_cast<std::int32_t>(kShapes.size());
}

} // namespace

void Piece::SetNew(std::int32_t iBlockType)
{
    matrix_.SetNew(kBoxSide, kBoxSide);
    blockType_ = iBlockType;
    shape_ = {};
    if (isPieceType(iBlockType)) {
        const Shape& shape = kShapes[static_cast<std::size_t>(iBlockType - 1)];
        possibleOrientations_ = shape.orientations;
        shape_ = shape.blocks;
    } else {
        shape_[0].fill(NewPoint(-1, -1));
    }
    orientation_ = 0;
    RefreshMatrix();
    position_ = NewPoint(3, 0);
}

const point& Piece::shapePoint(std::int16_t block, std::int16_t orientation) const
{
    if (block < 0 || block >= kBlocks || orientation < 0 || orientation >= kMaxOrientations)
        throw std::out_of_range("block or orientation outside 0 to 3");
    // The empty piece has its four unset blocks in orientation 0 only.
    const bool known = isPieceType(blockType_) ? orientation < possibleOrientations_ : orientation == 0;
    if (!known)
        throw std::out_of_range("the piece has no such orientation");
    return shape_[static_cast<std::size_t>(orientation)][static_cast<std::size_t>(block)];
}

void Piece::RotateTo(std::int16_t iOrientation)
{
    orientation_ = iOrientation;
    RefreshMatrix();
}

point Piece::SolidBlockPositionInGameMatrix(std::int16_t intNumber, std::int16_t intOrientation) const
{
    const point& cell = shapePoint(intNumber, intOrientation);
    return NewPoint(static_cast<std::int16_t>(position_.X + cell.X), static_cast<std::int16_t>(position_.Y + cell.Y));
}

void Piece::RefreshMatrix()
{
    matrix_.Clear();
    for (std::int16_t block = 0; block < kBlocks; ++block) {
        const point& cell = shapePoint(block, orientation_);
        if (cell.X != -1 && cell.Y != -1)
            matrix_.SetBlockType(cell.X, cell.Y, blockType_);
    }
}

} // namespace clavora::game
