#pragma once
#include <QAbstractNativeEventFilter>
#include <QObject>

#include <cstdint>
#include <functional>
#include <optional>

#include <xcb/xcb.h>

namespace clavora::x11 {

// A key press as the X server sends it.
struct KeyPress {
    std::uint32_t keyCode;
    Qt::KeyboardModifiers modifiers; // Shift and Ctrl only
    unsigned long timestamp;
    xcb_window_t window;
};

// The press an X event carries, when it is one that may be played before Qt
// has handled it: a real (not sent) key press with no modifier held but
// Shift, Ctrl, Caps Lock and Num Lock, and no mouse button. Alt, AltGr and
// the logo key leave a press to Qt, which may give it to a menu.
std::optional<KeyPress> earlyPressOf(const xcb_generic_event_t& event);

// Hands key presses to the program straight from the X server, ahead of Qt.
//
// Qt makes a key event of an X press in several steps and, before
// delivering it, writes the window's user time to the X server; on a small
// or busy machine the server then takes the processor for a while, and the
// note waits. A press that comes as the first X event after the event loop
// was idle has nothing queued before it, so the program can play it at once;
// Qt still delivers the key event afterwards, as usual, and the receiver
// then knows it was played. Presses that come with other events go Qt's way.
class EarlyKeyPresses : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    using Handler = std::function<void(const KeyPress&)>;

    explicit EarlyKeyPresses(Handler handler, QObject* parent = nullptr);
    ~EarlyKeyPresses() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // The event loop is about to wait: nothing is queued any more.
    void loopIdle() { idle_ = true; }

private:
    Handler handler_;
    bool idle_ = false;
};

} // namespace clavora::x11
