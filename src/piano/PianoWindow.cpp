#include "PianoWindow.h"

#include "KeyReceiver.h"
#include "Piano.h"
#include "PianoKeyWidget.h"
#include "Setting.h"
#include "Twips.h"
#include "VoiceArea.h"
#include "chords/ChordArea.h"
#include "drums/DrumPads.h"
#include "lang/Captions.h"
#include "lang/HelpWindow.h"
#include "lang/LanguageDialog.h"
#include "sound/GmNames.h"

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

// Pictures of the windows live in a resource file of this library.
static void initResources()
{
    Q_INIT_RESOURCE(clavora);
}

namespace clavora {

namespace {

constexpr int kWhiteWidth = 375;
constexpr int kWhiteHeight = 1095;
constexpr int kBlackWidth = 255;
constexpr int kBlackHeight = 675;
constexpr int kWhiteStep = 360;
constexpr int kBlackOffset = 240;

constexpr int kPadSize = 435;
constexpr int kPadStep = 540;
constexpr int kNumberBoxHeight = 315;

// Pads by keyboard row: first pad, last pad, key top, left of first key.
struct PadRow {
    int first;
    int last;
    int top;
    int left;
};
constexpr std::array<PadRow, 4> kPadRows{{
    {34, 46, 450, 120},
    {22, 33, 1290, 360},
    {10, 21, 2130, 600},
    {0, 9, 2970, 840},
}};

// A picture box that reports mouse presses and releases.
class PressArea : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onPress;
    std::function<void()> onRelease;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        event->accept();
        if (onPress)
            onPress();
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        event->accept();
        if (onRelease)
            onRelease();
    }
};

QFrame* raisedPlate(QWidget* parent, const char* name)
{
    auto* plate = new QFrame(parent);
    plate->setObjectName(QLatin1String(name));
    plate->setFrameShape(QFrame::Panel);
    plate->setFrameShadow(QFrame::Raised);
    plate->setLineWidth(2);
    plate->setAutoFillBackground(true);
    return plate;
}

QWidget* panel(QWidget* parent, const char* name)
{
    auto* widget = new QWidget(parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QIcon icon(const char* name)
{
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

} // namespace

PianoWindow::PianoWindow(Piano& piano, Platform& platform, QWidget* parent)
    : QMainWindow(parent)
    , piano_(piano)
    , platform_(platform)
{
    initResources();
    setObjectName(QStringLiteral("frmPiano"));
    setWindowIcon(icon("clavora"));
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);

    const Twips t = Twips::forWidget(this);
    focus_ = new KeyReceiver(client_);
    t.place(focus_, 6540, 300, 435, 315);

    buildMenus();
    buildMainBlock(client_);
    buildChordBlock(client_);
    buildDrumPanels(client_);
    buildToolbar(client_);
    connectPiano();

    client_->setFixedSize(t(design::kClientWidth), t(design::kClientHeight));
}

PianoWindow::~PianoWindow() = default;

void PianoWindow::buildMenus()
{
    auto addMenu = [this](const char* name) {
        QMenu* menu = menuBar()->addMenu(QString());
        menu->setObjectName(QLatin1String(name));
        menu->menuAction()->setObjectName(QLatin1String(name));
        return menu;
    };
    auto addItem = [this](QMenu* menu, const char* name, auto slot) {
        QAction* action = menu->addAction(QString());
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };

    QMenu* program = addMenu("mnuProgram");
    addItem(program, "mnuSilence", [this] { piano_.silence(); });
    program->addSeparator();
    mnuMIDI_ = addItem(program, "mnuMIDI", [this] {
        if (midiDialog_)
            midiDialog_(this);
        giveFocusBack();
    });
    mnuMIDI_->setEnabled(false);
    program->addSeparator();
    addItem(program, "mnuExit", [this] { close(); });

    QMenu* view = addMenu("View");
    showMainPanel_ = addItem(view, "ShowMainPanel", [this] { toggleMainPanel(); });
    showToolbar_ = addItem(view, "ShowToolbar", [this] { toggleToolbar(); });
    showMainPanel_->setCheckable(true);
    showMainPanel_->setChecked(true);
    showToolbar_->setCheckable(true);
    showToolbar_->setChecked(true);

    QMenu* options = addMenu("mnuOptions");
    addItem(options, "mnuLanguage", [this] { openLanguageDialog(); });

    QMenu* help = addMenu("mnuHelp");
    addItem(help, "mnuShowHelp", [this] { openHelp(); });
    help->addSeparator();
    mnuAbout_ = addItem(help, "mnuAbout", [this] {
        if (aboutDialog_)
            aboutDialog_(this);
        returnFromDialog();
    });
    mnuAbout_->setEnabled(false);
}

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
    bindSetting(area.instrument(), settings, name("Instrument"), t.rect(990, 540, 3375, 255), t.rect(990, 300, 735, 195));
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
        auto* key = new PianoKeyWidget(k, black, QString::fromLatin1(kPianoKeys[static_cast<std::size_t>(k)].cap), keyPanel);
        if (black) {
            t.place(key, whiteLeft - kWhiteStep + kBlackOffset, top, kBlackWidth, kBlackHeight);
            blacks.push_back(key);
        } else {
            t.place(key, whiteLeft, top, kWhiteWidth, kWhiteHeight);
            whiteLeft += kWhiteStep;
        }
        connect(key, &PianoKeyWidget::pressed, this, [this](int index) {
            if (!piano_.playDrums())
                piano_.pressKey(index);
            giveFocusBack();
        });
        connect(key, &PianoKeyWidget::released, this, [this](int index) {
            if (!piano_.playDrums())
                piano_.releaseKey(index);
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
    const std::array<std::pair<const char*, ChordArea::Mode>, 3> modes{{
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
    const std::array<const char*, 4> modifierCaps{"Shift", "Ctrl", "Caps", "Space"};
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

void PianoWindow::buildDrumPanels(QWidget* client)
{
    const Twips t = Twips::forWidget(this);
    DrumPads& drums = piano_.drumPads();

    auto* names = panel(client, "DrumNamesPanel");
    t.place(names, 180, 1050, 6975, 2895);
    const std::array<std::pair<int, int>, 4> columns{{{0, 14}, {14, 28}, {28, 42}, {42, 47}}};
    const std::array<int, 4> columnLefts{0, 1920, 3600, 5250};
    for (std::size_t c = 0; c < columns.size(); ++c) {
        QString text;
        for (int i = columns[c].first; i < columns[c].second; ++i)
            text += sound::drumNameLine(i) + QLatin1Char('\n');
        auto* label = new QLabel(text, names);
        label->setObjectName(QStringLiteral("DrumNames%1").arg(c + 1));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QFont font = label->font();
        font.setPointSizeF(7.5);
        label->setFont(font);
        t.place(label, columnLefts[c], 0, c == 0 ? 1920 : 1650, 2895);
    }
    bindSetting(drums.volume(), names, QStringLiteral("DrumsVolume"), t.rect(5250, 1800, 1560, 255), t.rect(5250, 1560, 1200, 195));
    auto* change = pictureButton(names, "ChangeDrums", "change-drums", t.rect(5250, 2220, 600, 600));
    change->setToolTip(tr("Change the last drum pad (F12)"));
    connect(change, &QToolButton::clicked, this, [this] { emit piano_.drumEditorRequested(); });

    auto* pads = panel(client, "DrumKeysPanel");
    t.place(pads, 10, 4000, 7095, 3465);
    for (const PadRow& row : kPadRows) {
        for (int pad = row.first; pad <= row.last; ++pad) {
            const int left = row.left + (pad - row.first) * kPadStep;
            auto* key = new PressArea(pads);
            key->setObjectName(QStringLiteral("DrumKey(%1)").arg(pad));
            key->setFrameShape(QFrame::Box);
            key->setAutoFillBackground(true);
            key->setStyleSheet(QStringLiteral("background: white; color: black;"));
            t.place(key, left, row.top, kPadSize, kPadSize);
            auto* cap = new QLabel(DrumPads::capOf(pad), key);
            cap->setObjectName(QStringLiteral("lblDrumKey(%1)").arg(pad));
            cap->setAlignment(Qt::AlignCenter);
            cap->setGeometry(key->rect());
            cap->setAttribute(Qt::WA_TransparentForMouseEvents);
            key->onPress = [this, pad] {
                piano_.drumPads().press(pad);
                giveFocusBack();
            };
            key->onRelease = [this, pad] {
                piano_.drumPads().release(pad);
                giveFocusBack();
            };
            drumKeys_[static_cast<std::size_t>(pad)] = key;

            auto* number = new PressArea(pads);
            number->setObjectName(QStringLiteral("DrumKeyNumber(%1)").arg(pad));
            t.place(number, left, row.top - kNumberBoxHeight, kPadSize, kNumberBoxHeight);
            auto* numberLabel = new QLabel(QStringLiteral("00"), number);
            numberLabel->setObjectName(QStringLiteral("lblDrumKeyNumber(%1)").arg(pad));
            numberLabel->setAlignment(Qt::AlignCenter);
            numberLabel->setGeometry(number->rect());
            numberLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
            number->onRelease = [this, pad] {
                piano_.drumPads().setLastDrumKey(pad);
                emit piano_.drumEditorRequested();
                giveFocusBack();
            };
            drumNumbers_[static_cast<std::size_t>(pad)] = numberLabel;
        }
    }
    blocks_[static_cast<std::size_t>(Block::DrumNamesPanel)] = names;
    blocks_[static_cast<std::size_t>(Block::DrumKeysPanel)] = pads;
    names->hide();
    pads->hide();
    for (int pad = 0; pad < DrumPads::kPadCount; ++pad)
        refreshDrumNumber(pad);
}

void PianoWindow::refreshDrumNumber(int pad)
{
    QLabel* label = drumNumbers_[static_cast<std::size_t>(pad)];
    if (!label)
        return;
    const DrumPads& drums = piano_.drumPads();
    label->setText(drums.numberText(pad));
    QFont font = label->font();
    font.setBold(drums.isHigh(pad));
    label->setFont(font);
}

void PianoWindow::connectPiano()
{
    connect(focus_, &KeyReceiver::keyDown, &piano_, &Piano::keyDown);
    connect(focus_, &KeyReceiver::keyUp, &piano_, &Piano::keyUp);
    connect(&piano_, &Piano::focusRequested, this, &PianoWindow::giveFocusBack);
    connect(&piano_, &Piano::keyLookChanged, this, [this](int index, bool pressed) {
        if (auto* key = keys_[static_cast<std::size_t>(index)])
            key->showPressed(pressed);
    });
    connect(&piano_, &Piano::playDrumsChanged, this, &PianoWindow::showDrums);
    connect(&piano_, &Piano::helpRequested, this, &PianoWindow::openHelp);
    connect(&piano_, &Piano::languageDialogRequested, this, &PianoWindow::openLanguageDialog);
    connect(&piano_, &Piano::languageChanged, this, [this] { applyCaptions(); });
    connect(&piano_, &Piano::editChordRequested, this, [this] {
        if (chordEditor_)
            chordEditor_(this);
        returnFromDialog();
    });
    // Number boxes follow the pads' own change signals, also for edits.
    connect(&piano_, &Piano::drumEditorRequested, this, [this] {
        if (drumEditor_)
            drumEditor_(this);
        giveFocusBack();
    });

    ChordArea& chords = piano_.chordArea();
    connect(&chords, &ChordArea::modeChanged, this, &PianoWindow::updateChordMode);
    connect(&chords, &ChordArea::chordTypeChanged, this, [this](const QString& text) { chordType_->setText(text); });
    connect(&chords, &ChordArea::modifierChanged, this, [this](int modifier, bool down) {
        modifierButtons_[static_cast<std::size_t>(modifier)]->setDown(down);
    });

    DrumPads& drums = piano_.drumPads();
    connect(&drums, &DrumPads::padNumberChanged, this, &PianoWindow::refreshDrumNumber);
    connect(&drums, &DrumPads::padLookChanged, this, [this](int pad, bool pressed) {
        QLabel* frame = drumKeys_[static_cast<std::size_t>(pad)];
        frame->setFrameShape(pressed ? QFrame::Panel : QFrame::Box);
        frame->setFrameShadow(pressed ? QFrame::Raised : QFrame::Plain);
        frame->setLineWidth(pressed ? 2 : 1);
        frame->setStyleSheet(pressed ? QStringLiteral("background: #a8c8f0; color: black;")
                                     : QStringLiteral("background: white; color: black;"));
    });
}

void PianoWindow::startUp(const QString& commandLine)
{
    const Twips t = Twips::forWidget(this);
    applyCaptions();
    updateChordMode();
    chordType_->setText(piano_.chordArea().chordTypeText());
    adjustSize();
    designHeight_ = t.toTwips(menuBar()->sizeHint().height()) + design::kClientHeight;
    for (std::size_t i = 0; i < blocks_.size(); ++i)
        designTops_[i] = t.toTwips(blocks_[i]->y());
    arrangeWindow();
    if (const auto text = clavora::stealthText(commandLine)) {
        stealth_ = true;
        stealthText_ = *text;
        arrangeWindow();
    }
    giveFocusBack();
}

void PianoWindow::setMidiDialog(DialogOpener opener)
{
    midiDialog_ = std::move(opener);
    mnuMIDI_->setEnabled(static_cast<bool>(midiDialog_));
}

void PianoWindow::setAboutDialog(DialogOpener opener)
{
    aboutDialog_ = std::move(opener);
    mnuAbout_->setEnabled(static_cast<bool>(aboutDialog_));
}

void PianoWindow::applyCaptions()
{
    const int language = piano_.language();
    for (const lang::CaptionEntry& entry : lang::mainWindowCaptions()) {
        const QString text = lang::captionText(entry, language);
        if (text.isNull())
            continue;
        const QString name = QString::fromUtf8(entry.objectName.data(), static_cast<qsizetype>(entry.objectName.size()));
        if (name == objectName()) {
            if (!stealth_)
                setWindowTitle(text);
        } else if (auto* menu = findChild<QMenu*>(name)) {
            menu->setTitle(text);
        } else if (auto* action = findChild<QAction*>(name)) {
            action->setText(text);
        } else if (auto* button = findChild<QAbstractButton*>(name)) {
            button->setText(text);
        } else if (auto* group = findChild<QGroupBox*>(name)) {
            group->setTitle(text);
        }
    }
    piano_.mainArea().refreshLabels();
    piano_.chordArea().area().refreshLabels();
    piano_.drumPads().refreshLabels();
}

void PianoWindow::updateChordMode()
{
    const ChordArea::Mode mode = piano_.chordArea().mode();
    const bool oneKey = mode == ChordArea::Mode::OneKey;
    const bool chords = mode == ChordArea::Mode::ThreeKeys || mode == ChordArea::Mode::Guitar;
    modeButtons_[0]->setChecked(oneKey);
    modeButtons_[1]->setChecked(mode == ChordArea::Mode::ThreeKeys);
    modeButtons_[2]->setChecked(mode == ChordArea::Mode::Guitar);
    split_->setVisible(oneKey);
    splitLabel_->setVisible(oneKey);
    for (auto* button : modifierButtons_)
        button->setVisible(!oneKey);
    chordType_->setVisible(!oneKey);
    chordConfiguration_->setVisible(!oneKey && chords);
}

void PianoWindow::showDrums(bool on)
{
    playDrums_->setChecked(on);
    const bool blocks = showMainPanel_->isChecked();
    auto block = [this](Block b) { return blocks_[static_cast<std::size_t>(b)]; };
    block(Block::MainPanel)->setVisible(blocks && !on);
    block(Block::MainSettings)->setVisible(blocks && !on);
    block(Block::ChordPanel)->setVisible(blocks && !on);
    block(Block::DrumNamesPanel)->setVisible(blocks && on);
    block(Block::DrumKeysPanel)->setVisible(blocks && on);
    arrangeWindow();
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
    const bool drums = piano_.playDrums();
    auto block = [this](Block b) { return blocks_[static_cast<std::size_t>(b)]; };
    block(Block::MainPanel)->setVisible(show && !drums);
    block(Block::MainSettings)->setVisible(show && !drums);
    block(Block::ChordPanel)->setVisible(show && !drums);
    block(Block::DrumNamesPanel)->setVisible(show && drums);
    block(Block::DrumKeysPanel)->setVisible(show && drums);
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
    const WindowArrangement a = clavora::arrangeWindow(designHeight_, designTops_, showToolbar_->isChecked(),
                                                      showMainPanel_->isChecked());
    for (std::size_t i = 0; i < blocks_.size(); ++i)
        blocks_[i]->move(blocks_[i]->x(), t(a.blockTops[i]));
    mainPanelFrame_->move(0, t(a.mainPanelFrameTop));
    chordPanelFrame_->move(0, t(a.chordPanelFrameTop));
    const int menuHeight = menuBar()->sizeHint().height();
    const int clientHeight = std::max(0, t(a.windowHeight) - menuHeight);
    client_->setFixedSize(t(design::kClientWidth), clientHeight);
    setFixedSize(t(design::kClientWidth), menuHeight + clientHeight);
}

void PianoWindow::giveFocusBack()
{
    focus_->setFocus(Qt::OtherFocusReason);
}

void PianoWindow::openLanguageDialog()
{
    int language = piano_.language();
    lang::LanguageDialog dialog(language, platform_, this);
    dialog.exec();
    piano_.setLanguage(language);
    returnFromDialog();
}

void PianoWindow::openHelp()
{
    lang::HelpWindow help(piano_.language(), this);
    help.exec();
    returnFromDialog();
}

void PianoWindow::returnFromDialog()
{
    piano_.releaseChordModifiers();
    giveFocusBack();
    show();
    raise();
    activateWindow();
}

void PianoWindow::closeEvent(QCloseEvent* event)
{
    piano_.shutDown();
    event->accept();
}

} // namespace clavora
