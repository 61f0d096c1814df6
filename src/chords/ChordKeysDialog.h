#pragma once
#include "ChordEditorDialog.h"

#include <array>

namespace clavora::chords {

// The keyboard-chord editor (frmChordKeys): the notes of a three- or
// four-note keyboard chord, each as an octave " 1" .. " 3" and a note name.
class ChordKeysDialog : public ChordEditorDialog {
    Q_OBJECT
public:
    ChordKeysDialog(
        ChordTables& tables, int lastType, int lastKey, int language, Platform& platform, QWidget* parent = nullptr);

protected:
    void showChord() override;
    BuiltChord storeChord() override;

private:
    KeyboardGrid grid() const;

    std::array<QComboBox*, kMaxKeyboardNotes> octaves_ {};
    std::array<QComboBox*, kMaxKeyboardNotes> notes_ {};
    std::array<QLabel*, kMaxKeyboardNotes> rowLabels_ {};
};

} // namespace clavora::chords
