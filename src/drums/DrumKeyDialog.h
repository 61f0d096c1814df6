#pragma once
#include <QDialog>

class QComboBox;

namespace clavora {
class DrumPads;

// The drum-key editor (frmChangeDrums): any of the 47 pads, opened on the
// last one played, gets another General MIDI percussion sound and an
// intensity. Modify stores them and closes; Close, Esc and the title bar
// close without storing. Choosing another key reloads its sound and
// intensity and forgets unsaved choices.
class DrumKeyDialog : public QDialog {
    Q_OBJECT
public:
    DrumKeyDialog(DrumPads& pads, int language, QWidget* parent = nullptr);

private:
    void showKey();
    void modify();

    DrumPads& pads_;
    QComboBox* key_ = nullptr;
    QComboBox* sound_ = nullptr;
    QComboBox* intensity_ = nullptr;
};

} // namespace clavora
