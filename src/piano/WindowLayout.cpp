#include "WindowLayout.h"

namespace clavora {

WindowArrangement arrangeWindow(
    int designHeight, const std::array<int, kBlockCount>& designTops, bool showToolbar, bool showMainPanel)
{
    using namespace design;
    WindowArrangement result;
    int offset = 0;
    if (!showToolbar) {
        offset += kToolbarHeight;
        for (std::size_t i = 0; i < designTops.size(); ++i)
            result.blockTops[i] = designTops[i] - kToolbarHeight;
        result.mainPanelFrameTop = 0;
    } else {
        result.blockTops = designTops;
        result.mainPanelFrameTop = kToolbarHeight;
    }
    result.chordPanelFrameTop = result.mainPanelFrameTop + kMainPanelFrameHeight;
    if (!showMainPanel)
        offset += kMainPanelFrameHeight + kChordPanelFrameHeight;
    result.windowHeight = designHeight - offset;
    return result;
}

std::optional<QString> stealthText(const QString& commandLine)
{
    static const QString kSwitch = QStringLiteral("/STEALTH");
    const QString trimmed = commandLine.trimmed();
    if (trimmed.size() < kSwitch.size() || trimmed.left(kSwitch.size()).toUpper() != kSwitch)
        return std::nullopt;
    return trimmed.mid(kSwitch.size());
}

} // namespace clavora
