#pragma once
#include "ChordEditorDialog.h"

#include <array>

namespace clavora::chords {

// The guitar-chord editor (frmChordGuitar): for each of the six strings,
// lowest first, "X" (not played) or a fret 0 .. 9.
class ChordGuitarDialog : public ChordEditorDialog {
    Q_OBJECT
public:
    ChordGuitarDialog(
        ChordTables& tables, int lastType, int lastKey, int language, Platform& platform, QWidget* parent = nullptr);

protected:
    void showChord() override;
    BuiltChord storeChord() override;

private:
    std::array<QComboBox*, kGuitarStringCount> strings_ {};
};

} // namespace clavora::chords
