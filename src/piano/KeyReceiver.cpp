#include "KeyReceiver.h"

#include "keys/KeyCodes.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace clavora {

namespace {

// Drains of the event queue a release waits for its auto-repeat press.
constexpr int kDrainsBeforeRelease = 2;
// How often a release whose key is still down looks again, in milliseconds.
constexpr int kStillDownRetry = 5;

} // namespace

KeyReceiver::KeyReceiver(QWidget* parent)
    : QWidget(parent)
    , scanCodes_(keys::scanCodesOf(QGuiApplication::platformName().toLatin1().constData()))
    , comeRound_(new QTimer(this))
{
    setObjectName(QStringLiteral("Focus"));
    comeRound_->setObjectName(QStringLiteral("ComeRound"));
    comeRound_->setSingleShot(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

void KeyReceiver::setDeferredReleases(bool on)
{
    deferReleases_ = on;
    auto* dispatcher = QAbstractEventDispatcher::instance(thread());
    if (on && dispatcher)
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &KeyReceiver::queueDrained,
            Qt::UniqueConnection);
    else if (dispatcher)
        disconnect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &KeyReceiver::queueDrained);
    if (!on)
        flushDeferredReleases();
}

void KeyReceiver::queueDrained()
{
    if (deferred_.empty())
        return;
    for (Release& release : deferred_)
        ++release.drains;
    // Releases leave in the order they came, so the oldest go first. One
    // whose key is still down belongs to an auto-repeat whose press is late.
    bool waiting = false;
    while (!deferred_.empty() && deferred_.front().drains >= kDrainsBeforeRelease) {
        if (stillDown(deferred_.front())) {
            waiting = true;
            break;
        }
        const Release release = deferred_.front();
        deferred_.erase(deferred_.begin());
        emit keyUp(release.code, release.mask);
    }
    // The loop must come round again even if no other event arrives; for a
    // key still down, a little later rather than at once, so as not to spin.
    if (!deferred_.empty())
        comeRound_->start(waiting ? kStillDownRetry : 0);
}

bool KeyReceiver::stillDown(const Release& release) const
{
    return probe_ && release.scanCode != 0 && probe_(release.scanCode).value_or(false);
}

void KeyReceiver::flushDeferredReleases()
{
    const std::vector<Release> releases = std::exchange(deferred_, {});
    for (const Release& release : releases)
        emit keyUp(release.code, release.mask);
}

bool KeyReceiver::takeRepeatedRelease(std::uint32_t scanCode, int code, unsigned long timestamp)
{
    const auto partner = std::find_if(deferred_.begin(), deferred_.end(), [&](const Release& release) {
        const bool sameKey = scanCode != 0 ? release.scanCode == scanCode : release.code == code;
        return sameKey && release.timestamp == timestamp;
    });
    if (partner == deferred_.end())
        return false;
    deferred_.erase(partner);
    return true;
}

bool KeyReceiver::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Keys belong to the instrument, not to shortcuts of the window;
        // only Alt combinations are left to the menu bar's access keys.
        if (static_cast<QKeyEvent*>(event)->modifiers() & Qt::AltModifier)
            return QWidget::event(event);
        event->accept();
        return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        keyEvent(static_cast<QKeyEvent*>(event), event->type() == QEvent::KeyPress);
        return true;
    default:
        return QWidget::event(event);
    }
}

void KeyReceiver::keyEvent(QKeyEvent* key, bool press)
{
    if (!press && key->isAutoRepeat())
        return; // the key is still held
    if (press && early_ && early_->scanCode == key->nativeScanCode() && early_->timestamp == key->timestamp()) {
        early_.reset(); // played when it came
        return;
    }
    const int code = keys::virtualKey(scanCodes_, key->nativeScanCode(), key->key(), key->modifiers());
    if (code == 0)
        return;
    const int mask = keys::modifierMask(key->modifiers());
    if (press)
        pressed(key->nativeScanCode(), code, mask, key->timestamp());
    else if (deferReleases_)
        deferred_.push_back({key->nativeScanCode(), code, mask, key->timestamp(), 0});
    else
        emit keyUp(code, mask);
}

void KeyReceiver::pressed(std::uint32_t scanCode, int code, int mask, unsigned long timestamp)
{
    // An auto-repeat: the key stays down and its command, if any, repeats.
    // Any other press comes after the releases held back, in their order.
    if (deferReleases_ && !takeRepeatedRelease(scanCode, code, timestamp))
        flushDeferredReleases();
    emit keyDown(code, mask);
}

bool KeyReceiver::pressAtOnce(std::uint32_t scanCode, Qt::KeyboardModifiers modifiers, unsigned long timestamp)
{
    // Only a press Qt would bring here: this box has the focus of the active
    // window, and no menu or modal window (one perhaps not active yet) is in
    // the way.
    if (!hasFocus() || QApplication::activePopupWidget() != nullptr || QApplication::activeModalWidget() != nullptr)
        return false;
    const int code = keys::virtualKey(scanCodes_, scanCode, 0, modifiers);
    const int mask = keys::modifierMask(modifiers);
    if (code == 0 || !onlyPlays_ || !onlyPlays_(code, mask))
        return false;
    early_ = EarlyPress {scanCode, timestamp};
    pressed(scanCode, code, mask, timestamp);
    return true;
}

bool KeyReceiver::focusNextPrevChild(bool)
{
    return false;
}

void KeyReceiver::focusOutEvent(QFocusEvent* event)
{
    flushDeferredReleases();
    emit keyboardLost();
    QWidget::focusOutEvent(event);
}

void KeyReceiver::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    // Caps Lock is a chord modifier while it is held; one held on coming back
    // counts again. Shift, Ctrl and Space count from their next press.
    if (!probe_)
        return;
    const std::uint32_t capsLock = keys::nativeScanCodeOf(keys::kCapsLock);
    if (probe_(capsLock).value_or(false))
        emit keyDown(keys::kCapsLock, 0);
}

} // namespace clavora
