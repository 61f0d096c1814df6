#pragma once

namespace clavora {
class Piano;

// Releases every key and drum pad still held, as their key-ups would: each
// sounding note gets its note-off. Used before a window takes the keyboard
// away from the main window, whose key-ups would otherwise never arrive.
void releaseHeldKeys(Piano& piano);

} // namespace clavora
