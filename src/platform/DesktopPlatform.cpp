#include "DesktopPlatform.h"

#include "CountryCodes.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace clavora {

DesktopPlatform::DesktopPlatform()
{
    clock_.start();
}

DesktopPlatform::~DesktopPlatform()
{
    for (const auto& [id, timer] : timers_)
        delete timer;
}

bool DesktopPlatform::waitDeferringInput(int milliseconds)
{
    if (milliseconds <= 0)
        return true;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&loop] { loop.exit(0); });
    timer.start(milliseconds);
    QEventLoop* outer = std::exchange(waiting_, &loop);
    // A quitting application ends every event loop, this one included, and
    // makes new ones return at once: the timer is then still running.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    waiting_ = outer;
    return !timer.isActive();
}

void DesktopPlatform::cancelWait()
{
    if (waiting_)
        waiting_->exit(1);
}

int DesktopPlatform::startTimer(int milliseconds, std::function<void()> callback)
{
    const int id = ++lastTimer_;
    auto* timer = new QTimer;
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, timer, [this, id, timer, callback = std::move(callback)] {
        // The timer goes before the callback runs, which may start the next.
        timers_.erase(id);
        timer->deleteLater();
        callback();
    });
    timers_.emplace(id, timer);
    timer->start(std::max(0, milliseconds));
    return id;
}

void DesktopPlatform::cancelTimer(int id)
{
    if (const auto it = timers_.find(id); it != timers_.end()) {
        it->second->stop();
        it->second->deleteLater();
        timers_.erase(it);
    }
}

std::uint32_t DesktopPlatform::tickCount()
{
    return static_cast<std::uint32_t>(clock_.elapsed());
}

void DesktopPlatform::messageBox(MessageIcon icon, const std::string& title, const std::string& text)
{
    QMessageBox box(icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::Information,
        QString::fromStdString(title), QString::fromStdString(text), QMessageBox::Ok, owner_);
    box.exec();
}

void DesktopPlatform::beep()
{
    QApplication::beep();
}

int DesktopPlatform::countryCode()
{
    return systemCountryCode();
}

} // namespace clavora
