#include "game/Grid.h"
#include "game/Piece.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

using clavora::game::Matrix;
using clavora::game::Piece;
using clavora::game::point;

namespace {

struct Cell {
    std::int16_t col, row;
};

struct TextCase {
    const char* name;
    std::int16_t width, height;
    std::vector<Cell> solid;
    std::string solidText, emptyText, lineBreak;
    std::string expected;
};

class MatrixText : public testing::TestWithParam<TextCase> {};

TEST_P(MatrixText, WritesRowsTopToBottomEachFollowedByTheLineBreak)
{
    const TextCase& c = GetParam();
    Matrix matrix;
    matrix.SetNew(c.width, c.height);
    for (const Cell& cell : c.solid)
        matrix.SetBlockType(cell.col, cell.row, 3);
    EXPECT_EQ(matrix.Text(c.solidText, c.emptyText, c.lineBreak), c.expected);
}

std::string repeated(const std::string& part, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += part;
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Grids, MatrixText,
    testing::Values(TextCase{"OneSolidCell", 3, 2, {{1, 0}}, "#", ".", "\n", ".#.\n...\n"},
                    TextCase{"EmptyGameGrid", 10, 19, {}, "#", "\u00B7", "\r\n", repeated(repeated("\u00B7", 10) + "\r\n", 19)},
                    TextCase{"NoRows", 10, 0, {{0, 0}}, "#", ".", "\n", ""},
                    TextCase{"LongTexts", 2, 2, {{0, 0}, {1, 1}}, "[]", "  ", "|\n", "[]  |\n  []|\n"},
                    TextCase{"CellsOutsideTheUsedAreaNotShown", 2, 1, {{2, 0}, {0, 1}, {100, 100}}, "#", ".", "\n", "..\n"}),
    [](const testing::TestParamInfo<TextCase>& info) { return info.param.name; });

TEST(MatrixStore, ClearEmptiesTheUsedAreaOnly)
{
    Matrix matrix;
    matrix.SetNew(4, 4);
    matrix.SetBlockType(3, 3, 7);
    matrix.SetBlockType(4, 0, 7);
    matrix.SetBlockType(0, 4, 7);
    matrix.SetBlockType(100, 100, 7);
    matrix.Clear();
    EXPECT_EQ(matrix.GetBlockType(3, 3), 0);
    EXPECT_EQ(matrix.GetBlockType(4, 0), 7);
    EXPECT_EQ(matrix.GetBlockType(0, 4), 7);
    EXPECT_EQ(matrix.GetBlockType(100, 100), 7);
}

TEST(MatrixStore, CoordinatesOutsideTheStoreAreRefusedAndChangeNothing)
{
    Matrix matrix;
    matrix.SetNew(10, 19);
    for (const Cell cell : {Cell{-1, 0}, Cell{0, -1}, Cell{101, 0}, Cell{0, 101}}) {
        EXPECT_THROW(matrix.SetBlockType(cell.col, cell.row, 1), std::out_of_range);
        EXPECT_THROW((void)matrix.GetBlockType(cell.col, cell.row), std::out_of_range);
    }
    EXPECT_EQ(matrix.Text("#", ".", ""), std::string(190, '.'));
}

// ---- Pieces

struct OrientationCase {
    int type;
    std::int16_t orientation;
    const char* rows; // rows 0 to 3 of the box, '/' after each
};

class PieceOrientation : public testing::TestWithParam<OrientationCase> {};

TEST_P(PieceOrientation, OwnMatrixShowsTheOrientation)
{
    const OrientationCase& c = GetParam();
    Piece piece;
    piece.SetNew(c.type);
    piece.RotateTo(c.orientation);
    EXPECT_EQ(piece.Matrix().Text("#", ".", "/"), c.rows);
    for (std::int16_t row = 0; row < 4; ++row)
        for (std::int16_t col = 0; col < 4; ++col) {
            const std::int32_t code = piece.Matrix().GetBlockType(col, row);
            EXPECT_TRUE(code == 0 || code == c.type) << "cell " << col << "," << row;
        }
}

INSTANTIATE_TEST_SUITE_P(
    SevenPieces, PieceOrientation,
    testing::Values(OrientationCase{1, 0, "..../..../##../.##./"}, OrientationCase{1, 1, "..../.#../##../#.../"},
                    OrientationCase{2, 0, "..../..../.##./##../"}, OrientationCase{2, 1, "..../#.../##../.#../"},
                    OrientationCase{3, 0, "..../..../###./..#./"}, OrientationCase{3, 1, "..../.#../.#../##../"},
                    OrientationCase{3, 2, "..../..../#.../###./"}, OrientationCase{3, 3, "..../##../#.../#.../"},
                    OrientationCase{4, 0, "..../..../###./#.../"}, OrientationCase{4, 1, "..../##../.#../.#../"},
                    OrientationCase{4, 2, "..../..../..#./###./"}, OrientationCase{4, 3, "..../#.../#.../##../"},
                    OrientationCase{5, 0, "..../..../.##./.##./"}, OrientationCase{6, 0, "..../..../####/..../"},
                    OrientationCase{6, 1, ".#../.#../.#../.#../"}, OrientationCase{7, 0, "..../..../###./.#../"},
                    OrientationCase{7, 1, "..../.#../##../.#../"}, OrientationCase{7, 2, "..../.#../###./..../"},
                    OrientationCase{7, 3, "..../.#../.##./.#../"}));

// The cells of a piece's orientation, moved to touch the box's top and left.
std::vector<std::pair<int, int>> normalised(std::vector<std::pair<int, int>> cells)
{
    int left = 4, top = 4;
    for (const auto& [x, y] : cells) {
        left = std::min(left, x);
        top = std::min(top, y);
    }
    for (auto& [x, y] : cells) {
        x -= left;
        y -= top;
    }
    std::sort(cells.begin(), cells.end());
    return cells;
}

std::vector<std::pair<int, int>> cellsOf(const Piece& piece, std::int16_t orientation)
{
    std::vector<std::pair<int, int>> cells;
    for (std::int16_t block = 0; block < 4; ++block) {
        const point p = piece.SolidBlockPositionInGameMatrix(block, orientation);
        cells.emplace_back(p.X - piece.Position().X, p.Y - piece.Position().Y);
    }
    return cells;
}

class PieceTurns : public testing::TestWithParam<int> {};

// Each next orientation is the one before turned a quarter turn clockwise,
// and the last turns back to the first.
TEST_P(PieceTurns, NextOrientationIsAQuarterTurnClockwise)
{
    Piece piece;
    piece.SetNew(GetParam());
    const std::int16_t count = piece.PossibleOrientations();
    for (std::int16_t k = 0; k < count; ++k) {
        std::vector<std::pair<int, int>> turned;
        for (const auto& [x, y] : cellsOf(piece, k))
            turned.emplace_back(-y, x); // clockwise on a screen whose Y grows downward
        const auto next = static_cast<std::int16_t>((k + 1) % count);
        EXPECT_EQ(normalised(turned), normalised(cellsOf(piece, next))) << "orientation " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(SevenPieces, PieceTurns, testing::Range(1, 8));

TEST(PieceBuild, EmptyPieceHasNoCellsNoOrientationsAndStartsAtColumnThree)
{
    Piece piece;
    piece.SetNew(0);
    EXPECT_EQ(piece.Matrix().Text("#", ".", ""), std::string(16, '.'));
    EXPECT_EQ(piece.PossibleOrientations(), 0);
    EXPECT_EQ(piece.Position().X, 3);
    EXPECT_EQ(piece.Position().Y, 0);
    EXPECT_EQ(piece.SolidBlockPositionInGameMatrix(0, 0).X, 2);
    EXPECT_EQ(piece.SolidBlockPositionInGameMatrix(0, 0).Y, -1);
}

struct BlockCase {
    int type;
    std::int16_t block, orientation, x, y;
};

class SolidBlockPosition : public testing::TestWithParam<BlockCase> {};

TEST_P(SolidBlockPosition, IsPositionPlusTheCellInTheBox)
{
    const BlockCase& c = GetParam();
    Piece piece;
    piece.SetNew(c.type);
    const point p = piece.SolidBlockPositionInGameMatrix(c.block, c.orientation);
    EXPECT_EQ(p.X, c.x);
    EXPECT_EQ(p.Y, c.y);
}

INSTANTIATE_TEST_SUITE_P(Pieces, SolidBlockPosition,
                         testing::Values(BlockCase{6, 0, 1, 4, 0}, BlockCase{6, 3, 1, 4, 3}, BlockCase{6, 3, 0, 6, 2},
                                         BlockCase{3, 3, 0, 5, 3}, BlockCase{1, 0, 0, 3, 2}));

TEST(PieceBuild, OrientationsAndBlocksThePieceLacksAreRefused)
{
    Piece piece;
    piece.SetNew(6);
    EXPECT_THROW((void)piece.SolidBlockPositionInGameMatrix(4, 0), std::out_of_range);
    EXPECT_THROW((void)piece.SolidBlockPositionInGameMatrix(0, 2), std::out_of_range);
    EXPECT_THROW((void)piece.SolidBlockPositionInGameMatrix(0, -1), std::out_of_range);
    EXPECT_THROW(piece.RotateTo(4), std::out_of_range);
}

} // namespace
