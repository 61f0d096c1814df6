#pragma once
// Telling windows apart by their title, for probes that wait for a program's
// main window (some programs show a splash screen first).
#include <xcb/xcb.h>

#include <cstdlib>
#include <string>

namespace bench {

// Whether the window's title holds `text` (any window when there is none).
inline bool titled(xcb_connection_t* x, xcb_window_t window, const char* text)
{
    if (!text)
        return true;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        x, xcb_get_property(x, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
    if (!reply)
        return false;
    const std::string name(static_cast<const char*>(xcb_get_property_value(reply)),
        static_cast<std::size_t>(xcb_get_property_value_length(reply)));
    std::free(reply);
    return name.find(text) != std::string::npos;
}

} // namespace bench
