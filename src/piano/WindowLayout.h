#pragma once
#include <QString>

#include <array>
#include <optional>

namespace clavora {

// Design sizes of the main window, in twips.
namespace design {
constexpr int kClientWidth = 7215;
constexpr int kClientHeight = 7545;
constexpr int kToolbarHeight = 915;
constexpr int kMainPanelFrameTop = 910;
constexpr int kMainPanelFrameHeight = 3075;
constexpr int kChordPanelFrameHeight = 3555;
} // namespace design

// The blocks that move when the toolbar comes and goes.
enum class Block { MainPanel, ChordPanel, DrumNamesPanel, DrumKeysPanel, MainSettings };
constexpr int kBlockCount = 5;

// Where ArrangeWindow puts things, in twips.
struct WindowArrangement {
    std::array<int, kBlockCount> blockTops {};
    int mainPanelFrameTop = 0;
    int chordPanelFrameTop = 0;
    int windowHeight = 0;
};

// Recomputes the normal layout from the design height of the window and the
// design tops of the blocks: hiding the toolbar moves everything up by its
// height, hiding the blocks leaves only the title and menu bars.
WindowArrangement arrangeWindow(
    int designHeight, const std::array<int, kBlockCount>& designTops, bool showToolbar, bool showMainPanel);

// The "/STEALTH" switch: for a command line that starts with it (in any case,
// after trimming), the text that follows it, leading blank included.
std::optional<QString> stealthText(const QString& commandLine);

} // namespace clavora
