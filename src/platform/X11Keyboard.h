#pragma once
#include <cstdint>
#include <optional>

namespace clavora::x11 {

// Asks the X server to stop sending a release before each auto-repeated
// press to this program (XKB "detectable auto-repeat"), so a held key arrives
// as one press, repeated presses and one release, however busy the machine
// is. False when the program does not run on X11 or the server refuses.
bool enableDetectableAutoRepeat();

// Whether the key with this X key code is down right now; nothing when the
// program does not run on X11.
std::optional<bool> isKeyDown(std::uint32_t keyCode);

} // namespace clavora::x11
