#pragma once
#include "KeyProbe.h"

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <vector>

class QWindow;

namespace clavora {

// The program's one record of which keys are down, for every window. Once
// constructed it watches each key event as the window system delivers it to
// a window: a press of a key that is already down reaches that window as an
// auto-repeat (QKeyEvent::isAutoRepeat()), as the X server's detectable
// auto-repeat sends them without the flag; the repeats of a key first
// pressed in another window (one that closed, or that a dialog now covers)
// reach no window at all. A key is forgotten on its release, when the
// program loses the keyboard and, where the key probe can tell, when the
// focus moves to another window while the key is up already.
class KeyRepeatFilter : public QObject {
    Q_OBJECT
public:
    explicit KeyRepeatFilter(QObject* parent = nullptr);
    ~KeyRepeatFilter() override;

    void setKeyProbe(KeyProbe probe) { probe_ = std::move(probe); }
    bool isDown(std::uint32_t nativeScanCode, int qtKey) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct HeldKey {
        std::uint64_t id;
        QPointer<QObject> window; // where its first press went
    };
    void forgetReleasedKeys();

    std::vector<HeldKey> held_;
    KeyProbe probe_;
};

} // namespace clavora
