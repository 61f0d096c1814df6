#include "X11Keyboard.h"

#include "X11Connection.h"

// The XKB header names a structure field `explicit`, a keyword in C++.
#define explicit xkb_explicit
#include <xcb/xkb.h>
#undef explicit

namespace clavora::x11 {

bool enableDetectableAutoRepeat()
{
    xcb_connection_t* c = connection();
    if (c == nullptr)
        return false;
    const auto use = owned(xcb_xkb_use_extension_reply(
        c, xcb_xkb_use_extension(c, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION), nullptr));
    if (!use || !use->supported)
        return false;
    constexpr std::uint32_t flag = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
    const auto flags = owned(xcb_xkb_per_client_flags_reply(
        c, xcb_xkb_per_client_flags(c, XCB_XKB_ID_USE_CORE_KBD, flag, flag, 0, 0, 0), nullptr));
    return flags && (flags->supported & flag) && (flags->value & flag);
}

std::optional<bool> isKeyDown(std::uint32_t keyCode)
{
    xcb_connection_t* c = connection();
    if (c == nullptr || keyCode > 255)
        return std::nullopt;
    const auto keymap = owned(xcb_query_keymap_reply(c, xcb_query_keymap(c), nullptr));
    if (!keymap)
        return std::nullopt;
    return (keymap->keys[keyCode / 8] & (1u << (keyCode % 8))) != 0;
}

} // namespace clavora::x11
