#include "EventLoopHost.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <limits>

namespace clavora::game {

EventLoopHost::EventLoopHost()
{
    clock_.start();
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
}

std::int64_t EventLoopHost::nowMs()
{
    return clock_.elapsed();
}

void EventLoopHost::pumpEvents(std::int64_t maxWaitMs)
{
    if (maxWaitMs <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // The wake-up timer's own event ends the wait when nothing else comes.
    wake_.start(static_cast<int>(std::min<std::int64_t>(maxWaitMs, std::numeric_limits<int>::max())));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    wake_.stop();
}

} // namespace clavora::game
