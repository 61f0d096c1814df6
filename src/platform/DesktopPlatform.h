#pragma once
#include "Platform.h"

#include <QElapsedTimer>

#include <map>
#include <memory>

class QEventLoop;
class QTimer;
class QWidget;

namespace clavora {

// The platform as the desktop offers it: Qt timers and message boxes, the
// system beep and the country code of the user's locale.
class DesktopPlatform final : public Platform {
public:
    DesktopPlatform();
    ~DesktopPlatform() override;

    // Message boxes are centred on this window when it is set.
    void setMessageOwner(QWidget* owner) { owner_ = owner; }

    bool waitDeferringInput(int milliseconds) override;
    void cancelWait() override;
    int startTimer(int milliseconds, std::function<void()> callback) override;
    void cancelTimer(int id) override;
    std::uint32_t tickCount() override;
    void messageBox(MessageIcon icon, const std::string& title, const std::string& text) override;
    void beep() override;
    int countryCode() override;

private:
    QElapsedTimer clock_;
    QWidget* owner_ = nullptr;
    QEventLoop* waiting_ = nullptr;
    std::map<int, QTimer*> timers_;
    int lastTimer_ = 0;
};

} // namespace clavora
