#include "KeyRepeatFilter.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWindow>

#include <algorithm>

namespace clavora {

namespace {

// Keys are told apart by their native scan code; events without one (from
// platforms that give none) by their Qt key.
std::uint64_t keyId(std::uint32_t nativeScanCode, int qtKey)
{
    if (nativeScanCode != 0)
        return nativeScanCode;
    return (std::uint64_t {1} << 32) | static_cast<std::uint32_t>(qtKey);
}

} // namespace

KeyRepeatFilter::KeyRepeatFilter(QObject* parent)
    : QObject(parent)
{
    auto* app = qGuiApp;
    if (app == nullptr)
        return;
    app->installEventFilter(this);
    // Keys let go while another program has the keyboard send no release here.
    connect(app, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            held_.clear();
    });
    // A release sent to a window that a dialog covers is dropped before any
    // window sees it; the dialog takes the focus.
    connect(app, &QGuiApplication::focusWindowChanged, this, &KeyRepeatFilter::forgetReleasedKeys);
}

KeyRepeatFilter::~KeyRepeatFilter()
{
    if (auto* app = qGuiApp)
        app->removeEventFilter(this);
}

bool KeyRepeatFilter::isDown(std::uint32_t nativeScanCode, int qtKey) const
{
    const std::uint64_t id = keyId(nativeScanCode, qtKey);
    return std::ranges::any_of(held_, [id](const HeldKey& key) { return key.id == id; });
}

void KeyRepeatFilter::forgetReleasedKeys()
{
    if (!probe_)
        return;
    std::erase_if(held_, [this](const HeldKey& key) {
        return key.id <= UINT32_MAX && probe_(static_cast<std::uint32_t>(key.id)) == std::optional<bool>(false);
    });
}

bool KeyRepeatFilter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !watched->isWindowType())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const std::uint64_t id = keyId(key->nativeScanCode(), key->key());
    const auto held = std::ranges::find(held_, id, &HeldKey::id);
    if (type == QEvent::KeyRelease) {
        // A release that the platform marks as an auto-repeat is half of a
        // release and press pair: the key stays down.
        if (!key->isAutoRepeat() && held != held_.end())
            held_.erase(held);
        return false;
    }
    if (held == held_.end()) {
        held_.push_back({id, watched});
        return false;
    }
    if (held->window != watched)
        return true;
    if (key->isAutoRepeat())
        return false;
    QKeyEvent repeat(type, key->key(), key->modifiers(), key->nativeScanCode(), key->nativeVirtualKey(),
        key->nativeModifiers(), key->text(), true, key->count(), key->device());
    repeat.setTimestamp(key->timestamp());
    QCoreApplication::sendEvent(watched, &repeat);
    key->setAccepted(repeat.isAccepted());
    return true;
}

} // namespace clavora
