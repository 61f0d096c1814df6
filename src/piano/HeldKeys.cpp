#include "HeldKeys.h"

#include "keys/KeyTable.h"
#include "Piano.h"
#include "drums/DrumPads.h"

namespace clavora {

void releaseHeldKeys(Piano& piano)
{
    for (int key = 0; key < kKeyCount; ++key)
        if (piano.isKeyPressed(key))
            piano.releaseKey(key);
    DrumPads& drums = piano.drumPads();
    for (int pad = 0; pad < DrumPads::kPadCount; ++pad)
        if (drums.isPressed(pad))
            drums.release(pad);
}

} // namespace clavora
