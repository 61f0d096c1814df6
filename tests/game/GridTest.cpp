#include "game/Grid.h"
#include "game/Piece.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

using clavora::game::Matrix;
using clavora::game::Piece;
using Cell = std::pair<std::int16_t, std::int16_t>;

namespace {

TEST(Matrix, ShowsAndClearsOnlyTheUsedAreaAndRefusesCellsOutsideTheStore)
{
    Matrix matrix;
    matrix.SetNew(3, 2);
    for (const auto& [col, row] : {Cell{1, 0}, Cell{2, 1}, Cell{3, 0}, Cell{0, 2}, Cell{100, 100}})
        matrix.SetBlockType(col, row, 7);
    EXPECT_EQ(matrix.Text("[]", "  ", "|\n"), "  []  |\n    []|\n");
    matrix.Clear();
    EXPECT_EQ(matrix.Text("#", ".", "/"), ".../.../");
    EXPECT_EQ(matrix.GetBlockType(3, 0), 7);
    EXPECT_EQ(matrix.GetBlockType(0, 2), 7);
    for (const auto& [col, row] : {Cell{-1, 0}, Cell{0, -1}, Cell{101, 0}, Cell{0, 101}}) {
        EXPECT_THROW(matrix.SetBlockType(col, row, 1), std::out_of_range);
        EXPECT_THROW((void)matrix.GetBlockType(col, row), std::out_of_range);
    }
}

struct ShapeCase {
    int type;
    const char* orientations; // each one's 4 x 4 box, rows ended by '/', boxes by ' '
};

class PieceShapes : public testing::TestWithParam<ShapeCase> {};

// Every orientation the type has, drawn in the piece's own matrix; the next
// one is refused. Type 0 is the empty piece.
TEST_P(PieceShapes, DrawEveryOrientationAndRefuseOthers)
{
    const ShapeCase& c = GetParam();
    Piece piece;
    piece.SetNew(c.type);
    const auto count = static_cast<std::int16_t>(std::max<int>(piece.PossibleOrientations(), 1));
    std::string drawn;
    for (std::int16_t o = 0; o < count; ++o) {
        piece.RotateTo(o);
        drawn += piece.Matrix().Text("#", ".", "/") + " ";
    }
    EXPECT_EQ(drawn, c.orientations);
    EXPECT_THROW(piece.RotateTo(count), std::out_of_range);
    EXPECT_THROW((void)piece.SolidBlockPositionInGameMatrix(4, 0), std::out_of_range);
    EXPECT_THROW((void)piece.SolidBlockPositionInGameMatrix(0, -1), std::out_of_range);
}

INSTANTIATE_TEST_SUITE_P(
    Types, PieceShapes,
    testing::Values(ShapeCase{0, "..../..../..../..../ "},
                    ShapeCase{1, "..../..../##../.##./ ..../.#../##../#.../ "},
                    ShapeCase{2, "..../..../.##./##../ ..../#.../##../.#../ "},
                    ShapeCase{3, "..../..../###./..#./ ..../.#../.#../##../ ..../..../#.../###./ ..../##../#.../#.../ "},
                    ShapeCase{4, "..../..../###./#.../ ..../##../.#../.#../ ..../..../..#./###./ ..../#.../#.../##../ "},
                    ShapeCase{5, "..../..../.##./.##./ "},
                    ShapeCase{6, "..../..../####/..../ .#../.#../.#../.#../ "},
                    ShapeCase{7, "..../..../###./.#../ ..../.#../##../.#../ ..../.#../###./..../ ..../.#../.##./.#../ "}));

} // namespace
