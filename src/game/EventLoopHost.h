#pragma once
#include "CustomTimer.h"

#include <QElapsedTimer>
#include <QTimer>

namespace clavora::game {

// The timer host of a Qt program: the monotonic clock of QElapsedTimer and
// the thread's event loop. Between two firings it sleeps in the event loop
// until an event arrives or the next firing is due.
class EventLoopHost final : public TimerHost {
public:
    EventLoopHost();
    std::int64_t nowMs() override;
    void pumpEvents(std::int64_t maxWaitMs) override;

private:
    QElapsedTimer clock_;
    QTimer wake_;
};

} // namespace clavora::game
