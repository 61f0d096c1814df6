#pragma once
// Telling windows apart by their title, for probes that wait for a program's
// main window (some programs show a splash screen first).
#include <xcb/xcb.h>

#include <cstdio>
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

// A connection to the X display that hears every top-level window being
// mapped; null, said on stderr, when there is no display.
inline xcb_connection_t* connectWatchingWindows()
{
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "no X display\n");
        return nullptr;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);
    return x;
}

} // namespace bench
