#pragma once
#include "keys/KeyCodes.h"

#include <QWidget>

namespace clavora {

// The hidden box that holds the keyboard focus for the whole main window.
// It swallows every key: Tab, Space, Enter and the arrows never move the
// focus or press a button, and nothing is ever typed. Key events leave it as
// virtual-key codes with the modifier mask; X11 auto-repeat (pairs of release
// and press) becomes repeated key-downs and one key-up, as a player expects.
class KeyReceiver : public QWidget {
    Q_OBJECT
public:
    explicit KeyReceiver(QWidget* parent = nullptr);

    // How native scan codes are read; taken from the platform plug-in.
    void setScanCodes(keys::ScanCodes scanCodes) { scanCodes_ = scanCodes; }

signals:
    void keyDown(int code, int mask);
    void keyUp(int code, int mask);

protected:
    bool event(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void paintEvent(QPaintEvent*) override {}

private:
    keys::ScanCodes scanCodes_;
};

} // namespace clavora
