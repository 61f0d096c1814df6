#pragma once
#include "keys/KeyCodes.h"
#include "platform/KeyProbe.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QTimer;

namespace clavora {

// The hidden box that holds the keyboard focus for the whole main window.
// It swallows every key: Tab, Space, Enter and the arrows never move the
// focus or press a button, and nothing is ever typed. Key events leave it as
// virtual-key codes with the modifier mask; X11 auto-repeat (pairs of release
// and press) becomes repeated key-downs and one key-up, as a player expects.
class KeyReceiver : public QWidget {
    Q_OBJECT
public:
    using KeyProbe = clavora::KeyProbe;

    explicit KeyReceiver(QWidget* parent = nullptr);

    // How native scan codes are read; taken from the platform plug-in.
    void setScanCodes(keys::ScanCodes scanCodes) { scanCodes_ = scanCodes; }

    // For an X server that sends auto-repeat as release and press pairs and
    // leaves some releases unflagged when the machine is busy: a release is
    // held back until the event queue has been drained twice and, where the
    // key probe can tell, the key is really up (the press of a pair can reach
    // the queue well after its release on a busy machine); it is dropped
    // when the same key's press with the same timestamp arrives.
    void setDeferredReleases(bool on);
    bool hasDeferredReleases() const { return !deferred_.empty(); }

    // Asks the platform which keys are down: for held-back releases, and so
    // that a Caps Lock key still held when the focus comes back counts again.
    void setKeyProbe(KeyProbe probe) { probe_ = std::move(probe); }

    // Which keys do nothing but play (no command, no chord modifier), by
    // code and modifier mask: only those are taken by pressAtOnce().
    void setOnlyPlays(std::function<bool(int code, int mask)> onlyPlays) { onlyPlays_ = std::move(onlyPlays); }

    // A press straight from the window system, before its key event: when
    // this box has the focus and the key only plays, it is passed on now and
    // true is returned; its key event, when it comes, then does nothing.
    bool pressAtOnce(std::uint32_t scanCode, Qt::KeyboardModifiers modifiers, unsigned long timestamp);

signals:
    void keyDown(int code, int mask);
    void keyUp(int code, int mask);
    // The keyboard went elsewhere: no release of a key held now will arrive.
    void keyboardLost();

protected:
    bool event(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent*) override { }

private:
    struct Release {
        std::uint32_t scanCode;
        int code;
        int mask;
        unsigned long timestamp;
        int drains; // times the queue was drained since it came
    };
    struct EarlyPress {
        std::uint32_t scanCode;
        unsigned long timestamp;
    };
    void keyEvent(QKeyEvent* key, bool press);
    void pressed(std::uint32_t scanCode, int code, int mask, unsigned long timestamp);
    // The event loop is about to wait: passes on the releases that have
    // waited long enough and makes sure the loop comes round again for the
    // others.
    void queueDrained();
    // Passes on every release held back, in order.
    void flushDeferredReleases();
    bool stillDown(const Release& release) const;
    // Whether this press is the auto-repeat partner of a held-back release;
    // that release is then dropped.
    bool takeRepeatedRelease(std::uint32_t scanCode, int code, unsigned long timestamp);

    keys::ScanCodes scanCodes_;
    bool deferReleases_ = false;
    std::vector<Release> deferred_;
    // Brings the event loop round again while releases are held back.
    QTimer* comeRound_;
    KeyProbe probe_;
    std::function<bool(int, int)> onlyPlays_;
    std::optional<EarlyPress> early_;
};

} // namespace clavora
