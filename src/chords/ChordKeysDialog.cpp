#include "ChordKeysDialog.h"

#include "lang/EditorCaptions.h"
#include "widgets/Twips.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace clavora::chords {

namespace {

// Design positions in twips; the grid's inside the frame.
constexpr QRect kFrame {120, 1560, 4080, 2160};
constexpr QRect kOctaveLabel {1560, 270, 900, 240};
constexpr QRect kNoteLabel {2580, 270, 1320, 240};
constexpr int kFirstRowTop = 540;
constexpr int kRowStep = 390;
constexpr QRect kRowLabel {120, 45, 1380, 240}; // tops relative to the row
constexpr QRect kRowOctave {1560, 0, 900, 330};
constexpr QRect kRowNote {2580, 0, 1320, 330};

constexpr std::array<const char*, kMaxKeyboardNotes> kRowLabels {
    "FisrtNoteLabel", "SecondNoteLabel", "ThirdNoteLabel", "FourthNoteLabel"};
constexpr std::array<const char*, kMaxKeyboardNotes> kOctaveLists {
    "FirstOctave", "SecondOctave", "ThirdOctave", "FourthOctave"};
constexpr std::array<const char*, kMaxKeyboardNotes> kNoteLists {"FirstNote", "SecondNote", "ThirdNote", "FourthNote"};

QRect inRow(QRect design, int row)
{
    return design.translated(0, kFirstRowTop + row * kRowStep);
}

// " 1", " 2", " 3": each octave number with a blank before it.
QStringList octaveEntries()
{
    QStringList entries;
    for (int octave = 1; octave <= kEditorOctaveCount; ++octave)
        entries << QStringLiteral(" %1").arg(octave);
    return entries;
}

} // namespace

ChordKeysDialog::ChordKeysDialog(
    ChordTables& tables, int lastType, int lastKey, int language, Platform& platform, QWidget* parent)
    : ChordEditorDialog(
        "frmChordKeys", lang::chordKeysEditorCaptions(), tables, lastType, lastKey, language, platform, parent)
{
    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("ChordConfiguration"));
    Twips::forWidget(this).place(frame, kFrame.x(), kFrame.y(), kFrame.width(), kFrame.height());
    makeLabel(frame, "OctaveLabel", kOctaveLabel);
    makeLabel(frame, "NoteLabel", kNoteLabel);

    QList<QWidget*> order;
    for (int row = 0; row < kMaxKeyboardNotes; ++row) {
        const auto r = static_cast<std::size_t>(row);
        rowLabels_[r] = makeLabel(frame, kRowLabels[r], inRow(kRowLabel, row));
        octaves_[r] = makeList(frame, kOctaveLists[r], octaveEntries(), inRow(kRowOctave, row));
        notes_[r] = makeList(frame, kNoteLists[r], noteNames(), inRow(kRowNote, row));
        rowLabels_[r]->setBuddy(octaves_[r]);
        order << octaves_[r] << notes_[r];
    }
    finish(order, kFrame.bottom() + 1);

    // This editor opens in the middle of the screen.
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void ChordKeysDialog::showChord()
{
    const int type = selectedType();
    const int note = selectedNote();
    if (type < 0 || note < 0)
        return;
    const KeyboardGrid loaded = loadKeyboardGrid(tables(), note, type, grid());
    for (std::size_t r = 0; r < loaded.size(); ++r) {
        octaves_[r]->setCurrentIndex(loaded[r].octave);
        notes_[r]->setCurrentIndex(loaded[r].note);
    }
    // Three-note chords hide the fourth row.
    const bool four = chordNoteCount(type) == kMaxKeyboardNotes;
    rowLabels_.back()->setVisible(four);
    octaves_.back()->setVisible(four);
    notes_.back()->setVisible(four);
}

KeyboardGrid ChordKeysDialog::grid() const
{
    KeyboardGrid grid;
    for (std::size_t r = 0; r < grid.size(); ++r)
        grid[r] = {octaves_[r]->currentIndex(), notes_[r]->currentIndex()};
    return grid;
}

BuiltChord ChordKeysDialog::storeChord()
{
    return storeKeyboardChord(tables(), selectedNote(), selectedType(), grid());
}

} // namespace clavora::chords
