#pragma once
#include "ChordEditing.h"
#include "lang/Captions.h"
#include "widgets/DialogParts.h"

#include <QDialog>

#include <span>

class QComboBox;
class QLabel;
class QPushButton;

namespace clavora {
class Platform;
}

namespace clavora::chords {

// What the keyboard-chord and guitar-chord editors share: the title row, the
// chord type and chord note lists, and the Modify and Close buttons. A
// change of chord reloads the chord's definition (unsaved changes are lost);
// Modify stores the definition and closes, Close, Esc and the title bar
// close without storing. A definition that cannot be stored is refused with
// a message and the dialog stays open.
class ChordEditorDialog : public QDialog {
    Q_OBJECT
public:
    int selectedType() const;
    int selectedNote() const;

protected:
    // Builds the shared controls. Subclasses build their definition controls
    // and then call finish().
    ChordEditorDialog(const char* name, std::span<const lang::CaptionEntry> captions, ChordTables& tables, int lastType,
        int lastKey, int language, Platform& platform, QWidget* parent);

    // Captions, tab order through the definition controls, window size,
    // then the last chord played selected and shown.
    void finish(const QList<QWidget*>& definitionControls, int height);

    // A list of the editor at its design position (twips).
    QComboBox* makeList(QWidget* parent, const char* name, const QStringList& entries, QRect design);
    QLabel* makeLabel(QWidget* parent, const char* name, QRect design);

    // ShowChord: loads the selected chord into the definition controls.
    virtual void showChord() = 0;
    // Stores the definition for the selected chord, or refuses it.
    virtual BuiltChord storeChord() = 0;

    ChordTables& tables() { return tables_; }
    const ChordTables& tables() const { return tables_; }

private:
    void modify();

    std::span<const lang::CaptionEntry> captions_;
    ChordTables& tables_;
    int lastType_;
    int lastKey_;
    int language_;
    Platform& platform_;
    QComboBox* type_ = nullptr;
    QComboBox* note_ = nullptr;
    QLabel* title_ = nullptr;
    widgets::DialogButtons buttons_ {};
};

} // namespace clavora::chords
