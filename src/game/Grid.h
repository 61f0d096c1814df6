#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace clavora::game {

// Coordinates: X is the column, 0 at the left; Y is the row, 0 at the top,
// growing downward.
struct point {
    std::int16_t X = 0;
    std::int16_t Y = 0;
};

struct Size {
    std::int16_t Width = 0;
    std::int16_t Height = 0;
};

// An area of the grid, in cells.
struct Rectangle {
    std::int16_t X = 0;
    std::int16_t Y = 0;
    std::int16_t Width = 0;
    std::int16_t Height = 0;

    friend bool operator==(const Rectangle&, const Rectangle&) = default;
};

inline point NewPoint(std::int16_t X, std::int16_t Y)
{
    return point {X, Y};
}

// One block code: 0 is empty, anything else solid.
class Block {
public:
    void SetNew(std::int32_t iBlockType) { BlockType = iBlockType; }
    std::int32_t BlockType = 0;
};

// A grid of block codes in a fixed store of 101 x 101 cells, addressed as
// (column, row). Only the used area, set by SetNew, is cleared and shown;
// the rest of the store can still be read and written. A coordinate outside
// the store throws std::out_of_range and changes nothing.
class Matrix {
public:
    static constexpr int kStoreSide = 101;

    void SetNew(std::int16_t Width, std::int16_t Height);
    void Clear();
    // Rows top to bottom, each cell as the solid or empty text, every row
    // (the last included) followed by the line-break text.
    std::string Text(const std::string& strSolidBlockText, const std::string& strEmptySpaceText,
        const std::string& strLineBreakText) const;
    std::int32_t GetBlockType(std::int16_t intCol, std::int16_t intRow) const;
    void SetBlockType(std::int16_t intCol, std::int16_t intRow, std::int32_t Value);
    const game::Size& Size() const { return size_; }

private:
    static std::size_t indexOf(std::int16_t col, std::int16_t row);

    game::Size size_;
    std::array<std::int32_t, kStoreSide * kStoreSide> cells_ {};
};

} // namespace clavora::game
