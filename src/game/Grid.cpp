#include "Grid.h"

#include <stdexcept>

namespace clavora::game {

std::size_t Matrix::indexOf(std::int16_t col, std::int16_t row)
{
    if (col < 0 || col >= kStoreSide || row < 0 || row >= kStoreSide)
        throw std::out_of_range("cell outside the grid store");
    return static_cast<std::size_t>(row) * kStoreSide + static_cast<std::size_t>(col);
}

void Matrix::SetNew(std::int16_t Width, std::int16_t Height)
{
    size_ = game::Size {Width, Height};
    Clear();
}

void Matrix::Clear()
{
    for (std::int16_t row = 0; row < size_.Height; ++row)
        for (std::int16_t col = 0; col < size_.Width; ++col)
            cells_[indexOf(col, row)] = 0;
}

std::string Matrix::Text(const std::string& strSolidBlockText, const std::string& strEmptySpaceText,
    const std::string& strLineBreakText) const
{
    std::string text;
    for (std::int16_t row = 0; row < size_.Height; ++row) {
        for (std::int16_t col = 0; col < size_.Width; ++col)
            text += cells_[indexOf(col, row)] != 0 ? strSolidBlockText : strEmptySpaceText;
        text += strLineBreakText;
    }
    return text;
}

std::int32_t Matrix::GetBlockType(std::int16_t intCol, std::int16_t intRow) const
{
    return cells_[indexOf(intCol, intRow)];
}

void Matrix::SetBlockType(std::int16_t intCol, std::int16_t intRow, std::int32_t Value)
{
    cells_[indexOf(intCol, intRow)] = Value;
}

} // namespace clavora::game
