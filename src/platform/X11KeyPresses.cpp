#include "X11KeyPresses.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include <utility>

namespace clavora::x11 {

namespace {

// Modifier state bits that leave the key's meaning as Qt reads it on the
// main keys: Caps Lock (Lock) and Num Lock (Mod2), besides Shift and Ctrl.
constexpr std::uint16_t kIgnoredState = XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2;
constexpr std::uint16_t kReadState = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL;

} // namespace

std::optional<KeyPress> earlyPressOf(const xcb_generic_event_t& event)
{
    // The high bit marks an event another client sent.
    if (event.response_type != XCB_KEY_PRESS)
        return std::nullopt;
    const auto& press = reinterpret_cast<const xcb_key_press_event_t&>(event);
    if ((press.state & ~(kIgnoredState | kReadState)) != 0)
        return std::nullopt;
    Qt::KeyboardModifiers modifiers;
    if (press.state & XCB_MOD_MASK_SHIFT)
        modifiers |= Qt::ShiftModifier;
    if (press.state & XCB_MOD_MASK_CONTROL)
        modifiers |= Qt::ControlModifier;
    return KeyPress {press.detail, modifiers, press.time, press.event};
}

EarlyKeyPresses::EarlyKeyPresses(Handler handler, QObject* parent)
    : QObject(parent)
    , handler_(std::move(handler))
{
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &EarlyKeyPresses::loopIdle);
    if (auto* app = QCoreApplication::instance())
        app->installNativeEventFilter(this);
}

EarlyKeyPresses::~EarlyKeyPresses()
{
    if (auto* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
}

bool EarlyKeyPresses::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t" || message == nullptr)
        return false;
    // Only the first event since the loop was idle: Qt has queued nothing
    // that it would deliver before this press.
    if (!std::exchange(idle_, false))
        return false;
    if (const std::optional<KeyPress> press = earlyPressOf(*static_cast<const xcb_generic_event_t*>(message)))
        handler_(*press);
    return false; // Qt handles every event as usual
}

} // namespace clavora::x11
