#include "KeyReceiver.h"

#include "keys/KeyCodes.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace clavora {

KeyReceiver::KeyReceiver(QWidget* parent)
    : QWidget(parent)
    , scanCodes_(keys::scanCodesOf(QGuiApplication::platformName().toLatin1().constData()))
{
    setObjectName(QStringLiteral("Focus"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
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
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool press = event->type() == QEvent::KeyPress;
        if (!press && key->isAutoRepeat())
            return true;  // the key is still held
        const int code = keys::virtualKey(scanCodes_, key->nativeScanCode(), key->key(), key->modifiers());
        if (code != 0) {
            const int mask = keys::modifierMask(key->modifiers());
            if (press)
                emit keyDown(code, mask);
            else
                emit keyUp(code, mask);
        }
        return true;
    }
    default:
        return QWidget::event(event);
    }
}

bool KeyReceiver::focusNextPrevChild(bool)
{
    return false;
}

} // namespace clavora
