#pragma once
#include <QObject>

namespace clavora::x11 {

// Keeps the windows whose title is empty without a name on X11. Qt writes
// the application's name into _NET_WM_NAME when a window's title is empty,
// so a window manager would show "Clavora" on windows meant to have no title
// text; this sets both WM_NAME and _NET_WM_NAME of such windows empty when
// they are shown and whenever their title is set again. Watches every
// window of the program once constructed; does nothing on other platforms.
class UntitledWindows : public QObject {
    Q_OBJECT
public:
    explicit UntitledWindows(QObject* parent = nullptr);
    ~UntitledWindows() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace clavora::x11
