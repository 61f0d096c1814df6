#include "X11Windows.h"

#include "X11Connection.h"

#include <QEvent>
#include <QWidget>

#include <cstring>

namespace clavora::x11 {

namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    const auto reply = owned(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t {XCB_ATOM_NONE};
}

void clearNames(xcb_connection_t* c, xcb_window_t window)
{
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0, nullptr);
    const xcb_atom_t netName = atom(c, "_NET_WM_NAME");
    const xcb_atom_t utf8 = atom(c, "UTF8_STRING");
    if (netName != XCB_ATOM_NONE && utf8 != XCB_ATOM_NONE)
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, netName, utf8, 8, 0, nullptr);
    xcb_flush(c);
}

} // namespace

UntitledWindows::UntitledWindows(QObject* parent)
    : QObject(parent)
{
    if (connection() != nullptr)
        qGuiApp->installEventFilter(this);
}

UntitledWindows::~UntitledWindows()
{
    if (auto* app = qGuiApp)
        app->removeEventFilter(this);
}

bool UntitledWindows::eventFilter(QObject* watched, QEvent* event)
{
    // Qt has written the names by then: when the window was created (before
    // it is shown) and when its title was set (before the change event).
    if ((event->type() == QEvent::Show || event->type() == QEvent::WindowTitleChange) && watched->isWidgetType()) {
        const auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow() && widget->windowTitle().isEmpty() && widget->internalWinId() != 0)
            clearNames(connection(), static_cast<xcb_window_t>(widget->internalWinId()));
    }
    return false;
}

} // namespace clavora::x11
