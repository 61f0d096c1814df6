// The main window's toolbar and the main and chord blocks: settings, keys,
// chord modes and modifiers.
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

using namespace parts;

namespace {

constexpr int kWhiteWidth = 375;
constexpr int kWhiteHeight = 1095;
constexpr int kBlackWidth = 255;
constexpr int kBlackHeight = 675;
constexpr int kWhiteStep = 360;
constexpr int kBlackOffset = 240;

} // namespace

QToolButton* PianoWindow::pictureButton(QWidget* parent, const char* name, const char* iconName, QRect rect)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(icon(iconName));
    button->setIconSize(rect.size() * 3 / 4);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(rect);
    connect(button, &QToolButton::released, this, &PianoWindow::giveFocusBack);
    return button;
}

QToolButton* PianoWindow::toolbarButton(QWidget* parent, const char* name, const char* iconName, QRect rect)
{
    QToolButton* button = pictureButton(parent, name, iconName, rect);
    button->setIconSize(QSize(rect.height() / 2, rect.height() / 2));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    return button;
}

QLabel* PianoWindow::decoration(QWidget* parent, const char* iconName, QRect rect)
{
    auto* label = new QLabel(parent);
    label->setPixmap(icon(iconName).pixmap(rect.size(), devicePixelRatioF()));
    label->setGeometry(rect);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

void PianoWindow::buildToolbar(QWidget* client)
{
    const Twips t = Twips::forWidget(this);
    auto* help = toolbarButton(client, "Help", "help", t.rect(0, 0, 1020, 915));
    auto* silence = toolbarButton(client, "Silence", "silence", t.rect(1020, 0, 1025, 915));
    auto* language = toolbarButton(client, "Language", "language", t.rect(2040, 0, 1025, 915));
    auto* exit = toolbarButton(client, "ExitProgram", "exit", t.rect(6190, 0, 1025, 915));
    connect(help, &QToolButton::clicked, this, &PianoWindow::openHelp);
    connect(silence, &QToolButton::clicked, this, [this] { piano_.silence(); });
    connect(language, &QToolButton::clicked, this, &PianoWindow::openLanguageDialog);
    connect(exit, &QToolButton::clicked, this, &QWidget::close);

    auto* drumsPanel = raisedPlate(client, "PlayDrumsPanel");
    t.place(drumsPanel, 3060, 0, 3135, 915);
    auto* drumsFrame = new QFrame(client);
    drumsFrame->setObjectName(QStringLiteral("PlayDrumsFrame"));
    drumsFrame->setFrameShape(QFrame::StyledPanel);
    drumsFrame->setFrameShadow(QFrame::Sunken);
    t.place(drumsFrame, 3180, 60, 2925, 765);
    decoration(drumsFrame, "drums", t.rect(60, 60, 645, 645));
    playDrums_ = new QCheckBox(drumsFrame);
    playDrums_->setObjectName(QStringLiteral("PlayDrums"));
    playDrums_->setFocusPolicy(Qt::NoFocus);
    t.place(playDrums_, 750, 195, 2160, 375);
    connect(playDrums_, &QCheckBox::clicked, this, [this](bool on) { piano_.setPlayDrums(on); });
    connect(playDrums_, &QCheckBox::released, this, &PianoWindow::giveFocusBack);

    toolbar_ = {help, silence, language, drumsPanel, drumsFrame, exit};
    focus_->lower();
}

void PianoWindow::bindSetting(Setting& setting, QWidget* parent, const QString& name, QRect bar, QRect label)
{
    auto* scrollBar = new QScrollBar(Qt::Horizontal, parent);
    scrollBar->setObjectName(name);
    scrollBar->setRange(setting.minimum(), setting.maximum());
    scrollBar->setPageStep(setting.largeChange());
    scrollBar->setSingleStep(1);
    scrollBar->setValue(setting.value());
    scrollBar->setFocusPolicy(Qt::NoFocus);
    scrollBar->setGeometry(bar);
    auto* text = new QLabel(setting.label(), parent);
    text->setObjectName(name + QStringLiteral("Label"));
    text->setGeometry(label);
    text->setMinimumWidth(label.width());
    text->adjustSize();
    connect(scrollBar, &QScrollBar::valueChanged, &setting, &Setting::setValue);
    connect(scrollBar, &QScrollBar::sliderReleased, this, &PianoWindow::giveFocusBack);
    connect(&setting, &Setting::valueChanged, scrollBar, &QScrollBar::setValue);
    connect(&setting, &Setting::labelChanged, text, [text](const QString& value) {
        text->setText(value);
        text->adjustSize();
    });
}

void PianoWindow::buildVoiceSettings(QWidget* settings, VoiceArea& area, const QString& prefix)
{
    const Twips t = Twips::forWidget(this);
    auto name = [&](const char* setting) { return prefix + QLatin1String(setting); };
    bindSetting(
        area.instrument(), settings, name("Instrument"), t.rect(990, 540, 3375, 255), t.rect(990, 300, 735, 195));
    bindSetting(area.octave(), settings, name("Octave"), t.rect(1590, 1200, 975, 255), t.rect(1590, 960, 525, 195));
    bindSetting(area.volume(), settings, name("Volume"), t.rect(3270, 1200, 1095, 255), t.rect(3270, 960, 525, 195));
    bindSetting(area.channel(), settings, name("Channel"), t.rect(5850, 540, 855, 255), t.rect(5850, 300, 585, 195));
    bindSetting(area.voices(), settings, name("Voices"), t.rect(5850, 1200, 855, 255), t.rect(5850, 960, 480, 195));
    decoration(settings, "treble-clef", t.rect(150, 300, 600, 840));
    decoration(settings, "instrument", t.rect(4500, 480, 360, 360));
    decoration(settings, "octave", t.rect(1200, 1170, 330, 330));
    decoration(settings, "volume", t.rect(2880, 1170, 330, 330));
    decoration(settings, "channel", t.rect(5460, 480, 330, 330));
    decoration(settings, "voices", t.rect(5460, 1140, 330, 330));
}

void PianoWindow::buildMainBlock(QWidget* client)
{
    const Twips t = Twips::forWidget(this);
    mainPanelFrame_ = raisedPlate(client, "MainPanelFrame");
    t.place(mainPanelFrame_, 0, design::kMainPanelFrameTop, design::kClientWidth, design::kMainPanelFrameHeight);

    auto* settings = new QGroupBox(client);
    settings->setObjectName(QStringLiteral("MainSettings"));
    t.place(settings, 115, 960, 6975, 1660);
    buildVoiceSettings(settings, piano_.mainArea(), "Main");
    auto* reset = pictureButton(settings, "ResetMainSettings", "reset", t.rect(60, 1260, 345, 345));
    reset->setToolTip(tr("Reset the main settings (Shift+Ctrl+F8)"));
    connect(reset, &QToolButton::clicked, this, [this] { piano_.defaultMainSettings(); });

    auto* keys = panel(client, "MainPanel");
    t.place(keys, 170, 2760, 6915, 1155);
    buildKeys(keys, 12, 43, 0, 30);

    blocks_[static_cast<std::size_t>(Block::MainPanel)] = keys;
    blocks_[static_cast<std::size_t>(Block::MainSettings)] = settings;
}

void PianoWindow::buildKeys(QWidget* keyPanel, int first, int last, int left, int top)
{
    const Twips t = Twips::forWidget(this);
    int whiteLeft = left;
    std::vector<PianoKeyWidget*> blacks;
    for (int k = first; k <= last; ++k) {
        const bool black = isBlackKey(k);
        auto* key
            = new PianoKeyWidget(k, black, QString::fromLatin1(kPianoKeys[static_cast<std::size_t>(k)].cap), keyPanel);
        if (black) {
            t.place(key, whiteLeft - kWhiteStep + kBlackOffset, top, kBlackWidth, kBlackHeight);
            blacks.push_back(key);
        } else {
            t.place(key, whiteLeft, top, kWhiteWidth, kWhiteHeight);
            whiteLeft += kWhiteStep;
        }
        connect(key, &PianoKeyWidget::pressed, this, [this](int index) {
            if (!piano_.playDrums())
                piano_.pressKey(index, Hand::Mouse);
            giveFocusBack();
        });
        // The mouse lets go of the key it holds, in whatever mode.
        connect(key, &PianoKeyWidget::released, this, [this](int index) {
            piano_.releaseKey(index, Hand::Mouse);
            giveFocusBack();
        });
        keys_[static_cast<std::size_t>(k)] = key;
    }
    for (auto* key : blacks)
        key->raise();
}

void PianoWindow::buildChordBlock(QWidget* client)
{
    const Twips t = Twips::forWidget(this);
    chordPanelFrame_ = raisedPlate(client, "ChordPanelFrame");
    t.place(chordPanelFrame_, 0, 3990, design::kClientWidth, design::kChordPanelFrameHeight);

    auto* chordPanel = panel(client, "ChordPanel");
    t.place(chordPanel, 120, 4050, 6975, 3450);
    blocks_[static_cast<std::size_t>(Block::ChordPanel)] = chordPanel;

    auto* settings = new QGroupBox(chordPanel);
    settings->setObjectName(QStringLiteral("ChordSettings"));
    t.place(settings, 0, 0, 6975, 1620);
    buildVoiceSettings(settings, piano_.chordArea().area(), "Chord");
    auto* reset = pictureButton(settings, "ResetChordSettings", "reset", t.rect(60, 1230, 345, 345));
    reset->setToolTip(tr("Reset the chord settings (Shift+Ctrl+F12)"));
    connect(reset, &QToolButton::clicked, this, [this] { piano_.chordArea().resetChordSettings(); });
    auto* same = pictureButton(settings, "SameAsMainSettings", "copy-main", t.rect(450, 1230, 345, 345));
    same->setToolTip(tr("Same as the main settings (Shift+F3)"));
    connect(same, &QToolButton::clicked, this, [this] { piano_.chordArea().sameAsMainSettings(piano_.mainArea()); });

    // Chord modes, on the right of the chord keys.
    const std::array<std::pair<const char*, ChordArea::Mode>, 3> modes {{
        {"Chords1Key", ChordArea::Mode::OneKey},
        {"Chords3Keys", ChordArea::Mode::ThreeKeys},
        {"ChordsGuitar", ChordArea::Mode::Guitar},
    }};
    for (std::size_t i = 0; i < modes.size(); ++i) {
        auto* option = new QRadioButton(chordPanel);
        option->setObjectName(QLatin1String(modes[i].first));
        option->setFocusPolicy(Qt::NoFocus);
        t.place(option, 2640, 1680 + static_cast<int>(i) * 255, 3480, 255);
        const ChordArea::Mode mode = modes[i].second;
        connect(option, &QRadioButton::clicked, this, [this, mode] { piano_.chordArea().selectMode(mode); });
        connect(option, &QRadioButton::released, this, &PianoWindow::giveFocusBack);
        modeButtons_[i] = option;
    }

    // Chord modifiers and the chord type they select.
    const std::array<const char*, 4> modifierCaps {"Shift", "Ctrl", "Caps", "Space"};
    for (int i = 0; i < ChordArea::kModifierCount; ++i) {
        auto* button = new QToolButton(chordPanel);
        button->setObjectName(QStringLiteral("ChordModifier(%1)").arg(i));
        button->setText(QLatin1String(modifierCaps[static_cast<std::size_t>(i)]));
        button->setFocusPolicy(Qt::NoFocus);
        t.place(button, 2700 + i * 690, 2565, 660, 450);
        connect(button, &QToolButton::pressed, this, [this, i] { piano_.chordArea().modifierPress(i); });
        connect(button, &QToolButton::released, this, [this, i] {
            piano_.chordArea().modifierRelease(i);
            giveFocusBack();
        });
        modifierButtons_[static_cast<std::size_t>(i)] = button;
    }
    chordType_ = new QLabel(chordPanel);
    chordType_->setObjectName(QStringLiteral("ChordType"));
    chordType_->setAlignment(Qt::AlignCenter);
    chordType_->setFrameShape(QFrame::StyledPanel);
    chordType_->setFrameShadow(QFrame::Sunken);
    QFont typeFont = chordType_->font();
    typeFont.setPointSizeF(typeFont.pointSizeF() * 1.6);
    typeFont.setBold(true);
    chordType_->setFont(typeFont);
    t.place(chordType_, 5520, 2565, 1380, 450);

    split_ = pictureButton(chordPanel, "Split", "split", t.rect(2700, 2565, 660, 450));
    split_->setToolTip(tr("Choose the split point (Shift+F2)"));
    connect(split_, &QToolButton::clicked, this, [this] { piano_.chordArea().split(); });
    splitLabel_ = new QLabel(QStringLiteral("Split Point"), chordPanel);
    splitLabel_->setObjectName(QStringLiteral("SplitLabel"));
    t.place(splitLabel_, 3450, 2640, 2000, 300);

    chordConfiguration_ = new QFrame(chordPanel);
    chordConfiguration_->setObjectName(QStringLiteral("ChordConfigurationFrame"));
    t.place(chordConfiguration_, 6150, 1680, 750, 765);
    auto* edit = pictureButton(chordConfiguration_, "EditChord", "edit-chord", t.rect(30, 60, 690, 645));
    edit->setToolTip(tr("Edit the chord (Shift+F12)"));
    connect(edit, &QToolButton::clicked, this, [this] { emit piano_.editChordRequested(); });

    buildKeys(chordPanel, 0, 11, 60, 1680 + 615 + 30);
    // Chord keys sit at the bottom left, under the settings.
    const int top = 3450 - kWhiteHeight - 45;
    for (int k = 0; k < 12; ++k) {
        QWidget* key = keys_[static_cast<std::size_t>(k)];
        key->move(key->x(), t(top));
    }
}

} // namespace clavora
