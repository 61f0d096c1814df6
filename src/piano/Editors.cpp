#include "Editors.h"

#include "Piano.h"
#include "PianoWindow.h"
#include "chords/ChordArea.h"
#include "chords/ChordGuitarDialog.h"
#include "chords/ChordKeysDialog.h"
#include "drums/DrumKeyDialog.h"

namespace clavora {

void installEditors(PianoWindow& window, Piano& piano, Platform& platform)
{
    window.setChordEditor([&piano, &platform](QWidget* owner) {
        ChordArea& chords = piano.chordArea();
        if (chords.mode() == ChordArea::Mode::ThreeKeys) {
            chords::ChordKeysDialog editor(
                chords.tables(), chords.lastChordType(), chords.lastChordKey(), piano.language(), platform, owner);
            editor.exec();
        } else {
            chords::ChordGuitarDialog editor(
                chords.tables(), chords.lastChordType(), chords.lastChordKey(), piano.language(), platform, owner);
            editor.exec();
        }
    });
    window.setDrumEditor([&piano](QWidget* owner) {
        DrumKeyDialog editor(piano.drumPads(), piano.language(), owner);
        editor.exec();
    });
}

} // namespace clavora
