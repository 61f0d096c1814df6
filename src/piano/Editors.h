#pragma once

namespace clavora {
class Piano;
class PianoWindow;
class Platform;

// Lets the main window open the chord editor of the chord mode in force
// (three-key: keyboard chords, guitar: guitar chords) and the drum-key
// editor. Keys still held when an editor opens are released first.
void installEditors(PianoWindow& window, Piano& piano, Platform& platform);

} // namespace clavora
