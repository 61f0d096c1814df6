// What the View items and drums mode show, and the window's height to fit.
#include "PianoWindow.h"

#include "KeyReceiver.h"
#include "PanelParts.h"
#include "Piano.h"
#include "PianoKeyWidget.h"
#include "chords/ChordArea.h"
#include "drums/DrumPads.h"
#include "keys/Setting.h"
#include "keys/VoiceArea.h"
#include "lang/Captions.h"
#include "lang/HelpWindow.h"
#include "lang/LanguageDialog.h"
#include "sound/GmNames.h"
#include "widgets/Twips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>

namespace clavora {

void PianoWindow::showDrums(bool on)
{
    playDrums_->setChecked(on);
    showPanels(showMainPanel_->isChecked(), on);
    arrangeWindow();
}

// With the panels on view, drums mode shows the drum panels in place of the
// piano's; with them hidden, neither.
void PianoWindow::showPanels(bool panels, bool drums)
{
    auto block = [this](Block b) { return blocks_[static_cast<std::size_t>(b)]; };
    block(Block::MainPanel)->setVisible(panels && !drums);
    block(Block::MainSettings)->setVisible(panels && !drums);
    block(Block::ChordPanel)->setVisible(panels && !drums);
    block(Block::DrumNamesPanel)->setVisible(panels && drums);
    block(Block::DrumKeysPanel)->setVisible(panels && drums);
}

void PianoWindow::toggleToolbar()
{
    const bool show = showToolbar_->isChecked();
    for (QWidget* widget : toolbar_)
        widget->setVisible(show);
    arrangeWindow();
    giveFocusBack();
}

void PianoWindow::toggleMainPanel()
{
    const bool show = showMainPanel_->isChecked();
    showPanels(show, piano_.playDrums());
    mainPanelFrame_->setVisible(show);
    chordPanelFrame_->setVisible(show);
    arrangeWindow();
    giveFocusBack();
}

void PianoWindow::arrangeWindow()
{
    const Twips t = Twips::forWidget(this);
    if (stealth_) {
        setWindowTitle(stealthText_);
        setMinimumSize(0, 0);
        setFixedSize(1, 1);
        update();
        return;
    }
    if (designHeight_ == 0)
        return;
    const WindowArrangement a
        = clavora::arrangeWindow(designHeight_, designTops_, showToolbar_->isChecked(), showMainPanel_->isChecked());
    for (std::size_t i = 0; i < blocks_.size(); ++i)
        blocks_[i]->move(blocks_[i]->x(), t(a.blockTops[i]));
    mainPanelFrame_->move(0, t(a.mainPanelFrameTop));
    chordPanelFrame_->move(0, t(a.chordPanelFrameTop));
    const int menuHeight = menuBar()->sizeHint().height();
    const int clientHeight = std::max(0, t(a.windowHeight) - menuHeight);
    client_->setFixedSize(t(design::kClientWidth), clientHeight);
    setFixedSize(t(design::kClientWidth), menuHeight + clientHeight);
}

} // namespace clavora
