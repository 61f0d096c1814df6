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
#include "lang/WindowCaptions.h"
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

// Pictures of the windows live in a resource file of this library.
static void initResources()
{
    Q_INIT_RESOURCE(clavora);
}

namespace clavora {

using parts::icon;

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

PianoWindow::~PianoWindow()
{
    // The controls go after this object's own part: nothing they do on the
    // way out (the key receiver losing the focus releases the modifiers)
    // may reach back into it.
    disconnect(focus_, nullptr, &piano_, nullptr);
    focus_->setOnlyPlays({});
    piano_.disconnect(this);
    piano_.chordArea().disconnect(this);
    piano_.drumPads().disconnect(this);
}

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
    // Keeping what is played: each command runs what main installed, as a
    // dialog does.
    const auto keepItem = [&](const char* name, DialogOpener& command) {
        QAction* action = addItem(program, name, [this, &command] {
            if (command)
                command(this);
            returnFromDialog();
        });
        action->setEnabled(false);
        return action;
    };
    mnuSaveRecording_ = keepItem("mnuSaveRecording", saveRecording_);
    mnuNewRecording_ = keepItem("mnuNewRecording", newRecording_);
    program->addSeparator();
    mnuOpenSetup_ = keepItem("mnuOpenSetup", openSetup_);
    mnuSaveSetup_ = keepItem("mnuSaveSetup", saveSetup_);
    program->addSeparator();
    mnuMIDI_ = addItem(program, "mnuMIDI", [this] {
        if (midiDialog_)
            midiDialog_(this);
        giveFocusBack();
    });
    mnuMIDI_->setEnabled(false);
    mnuMIDIIn_ = addItem(program, "mnuMIDIIn", [this] {
        if (midiInDialog_)
            midiInDialog_(this);
        giveFocusBack();
    });
    mnuMIDIIn_->setEnabled(false);
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

void PianoWindow::connectPiano()
{
    connect(focus_, &KeyReceiver::keyDown, &piano_, &Piano::keyDown);
    focus_->setOnlyPlays([this](int code, int mask) { return piano_.onlyPlays(code, mask); });
    connect(focus_, &KeyReceiver::keyUp, &piano_, &Piano::keyUp);
    connect(focus_, &KeyReceiver::keyboardLost, &piano_, &Piano::keyboardLost);
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
        returnFromDialog();
    });

    ChordArea& chords = piano_.chordArea();
    connect(&chords, &ChordArea::modeChanged, this, &PianoWindow::updateChordMode);
    connect(&chords, &ChordArea::chordTypeChanged, this, [this](const QString& text) { chordType_->setText(text); });
    connect(&chords, &ChordArea::modifierChanged, this,
        [this](int modifier, bool down) { modifierButtons_[static_cast<std::size_t>(modifier)]->setDown(down); });

    DrumPads& drums = piano_.drumPads();
    connect(&drums, &DrumPads::padNumberChanged, this, &PianoWindow::refreshDrumNumber);
    connect(&drums, &DrumPads::padLookChanged, this,
        [this](int pad, bool pressed) { parts::showPadLook(drumKeys_[static_cast<std::size_t>(pad)], pressed); });
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

void PianoWindow::setMidiInDialog(DialogOpener opener)
{
    midiInDialog_ = std::move(opener);
    mnuMIDIIn_->setEnabled(static_cast<bool>(midiInDialog_));
}

void PianoWindow::setRecordingCommands(DialogOpener save, DialogOpener forget)
{
    saveRecording_ = std::move(save);
    newRecording_ = std::move(forget);
    mnuSaveRecording_->setEnabled(static_cast<bool>(saveRecording_));
    mnuNewRecording_->setEnabled(static_cast<bool>(newRecording_));
}

void PianoWindow::setSetupCommands(DialogOpener open, DialogOpener save)
{
    openSetup_ = std::move(open);
    saveSetup_ = std::move(save);
    mnuOpenSetup_->setEnabled(static_cast<bool>(openSetup_));
    mnuSaveSetup_->setEnabled(static_cast<bool>(saveSetup_));
}

void PianoWindow::setAboutDialog(DialogOpener opener)
{
    aboutDialog_ = std::move(opener);
    mnuAbout_->setEnabled(static_cast<bool>(aboutDialog_));
}

void PianoWindow::applyCaptions()
{
    lang::applyWindowCaptions(*this, lang::mainWindowCaptions(), piano_.language(),
        stealth_ ? lang::WindowTitle::Keep : lang::WindowTitle::Set);
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

bool PianoWindow::event(QEvent* event)
{
    // A dialog of ours took over: the mouse's release would go to it, so a
    // key the mouse holds is let go now, like those of the keyboard.
    if (event->type() == QEvent::WindowBlocked) {
        piano_.keyboardLost();
        piano_.releaseAll(Hand::Mouse);
    }
    return QMainWindow::event(event);
}

void PianoWindow::closeEvent(QCloseEvent* event)
{
    piano_.shutDown();
    event->accept();
}

} // namespace clavora
