#pragma once
#include "WindowLayout.h"

#include <QMainWindow>

#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QRadioButton;
class QScrollBar;
class QToolButton;

namespace clavora {
class Piano;
class Platform;
class Setting;
class VoiceArea;
class KeyReceiver;
class PianoKeyWidget;

// The main window: menu bar, toolbar, the main and chord blocks with their
// settings and keys, and the drum panels. It shows the Piano's state and
// hands every click and key to it.
class PianoWindow : public QMainWindow {
    Q_OBJECT
public:
    // Opens a modal dialog of the program; set by main so the window does not
    // need to know every dialog.
    using DialogOpener = std::function<void(QWidget* owner)>;

    PianoWindow(Piano& piano, Platform& platform, QWidget* parent = nullptr);
    ~PianoWindow() override;

    // Start-up of the window after the Piano's: captions, design sizes,
    // stealth switch. Call before show().
    void startUp(const QString& commandLine);

    void setMidiDialog(DialogOpener opener);
    void setMidiInDialog(DialogOpener opener);
    void setAboutDialog(DialogOpener opener);
    // Program > Save Recording and New Recording; Open Setup and Save Setup.
    void setRecordingCommands(DialogOpener save, DialogOpener forget);
    void setSetupCommands(DialogOpener open, DialogOpener save);
    // The chord editor of the current mode, and the drum-pad editor.
    void setChordEditor(DialogOpener opener) { chordEditor_ = std::move(opener); }
    void setDrumEditor(DialogOpener opener) { drumEditor_ = std::move(opener); }

    void applyCaptions();
    void arrangeWindow();
    bool isStealth() const { return stealth_; }

    KeyReceiver* keyReceiver() const { return focus_; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolbar(QWidget* client);
    void buildMainBlock(QWidget* client);
    void buildChordBlock(QWidget* client);
    void buildDrumPanels(QWidget* client);
    void buildKeys(QWidget* panel, int first, int last, int left, int top);
    void buildVoiceSettings(QWidget* settings, VoiceArea& area, const QString& prefix);
    void bindSetting(Setting& setting, QWidget* parent, const QString& name, QRect bar, QRect label);
    QToolButton* toolbarButton(QWidget* parent, const char* name, const char* icon, QRect rect);
    QToolButton* pictureButton(QWidget* parent, const char* name, const char* icon, QRect rect);
    QLabel* decoration(QWidget* parent, const char* icon, QRect rect);
    void connectPiano();
    void giveFocusBack();
    void showDrums(bool on);
    void showPanels(bool panels, bool drums);
    void updateChordMode();
    void refreshDrumNumber(int pad);
    void openLanguageDialog();
    void openHelp();
    void returnFromDialog();
    void toggleToolbar();
    void toggleMainPanel();

    Piano& piano_;
    Platform& platform_;
    DialogOpener midiDialog_;
    DialogOpener midiInDialog_;
    DialogOpener aboutDialog_;
    DialogOpener chordEditor_;
    DialogOpener drumEditor_;
    DialogOpener saveRecording_;
    DialogOpener newRecording_;
    DialogOpener openSetup_;
    DialogOpener saveSetup_;

    KeyReceiver* focus_ = nullptr;
    QAction* mnuMIDI_ = nullptr;
    QAction* mnuMIDIIn_ = nullptr;
    QAction* mnuAbout_ = nullptr;
    QAction* mnuSaveRecording_ = nullptr;
    QAction* mnuNewRecording_ = nullptr;
    QAction* mnuOpenSetup_ = nullptr;
    QAction* mnuSaveSetup_ = nullptr;
    QAction* showMainPanel_ = nullptr;
    QAction* showToolbar_ = nullptr;
    QWidget* client_ = nullptr;
    std::array<QWidget*, 6> toolbar_ {};
    QCheckBox* playDrums_ = nullptr;
    QFrame* mainPanelFrame_ = nullptr;
    QFrame* chordPanelFrame_ = nullptr;
    std::array<QWidget*, kBlockCount> blocks_ {};
    std::array<PianoKeyWidget*, 44> keys_ {};
    std::array<QRadioButton*, 3> modeButtons_ {};
    std::array<QToolButton*, 4> modifierButtons_ {};
    QLabel* chordType_ = nullptr;
    QToolButton* split_ = nullptr;
    QLabel* splitLabel_ = nullptr;
    QFrame* chordConfiguration_ = nullptr;
    std::array<QLabel*, 47> drumKeys_ {};
    std::array<QLabel*, 47> drumNumbers_ {};

    int designHeight_ = 0;
    std::array<int, kBlockCount> designTops_ {};
    bool stealth_ = false;
    QString stealthText_;
};

} // namespace clavora
