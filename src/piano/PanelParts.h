#pragma once
// Small building blocks the main window's panels are made of.
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>

#include <functional>

namespace clavora::parts {

// A picture box that reports mouse presses and releases.
class PressArea : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onPress;
    std::function<void()> onRelease;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        event->accept();
        if (onPress)
            onPress();
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        event->accept();
        if (onRelease)
            onRelease();
    }
};

inline QFrame* raisedPlate(QWidget* parent, const char* name)
{
    auto* plate = new QFrame(parent);
    plate->setObjectName(QLatin1String(name));
    plate->setFrameShape(QFrame::Panel);
    plate->setFrameShadow(QFrame::Raised);
    plate->setLineWidth(2);
    plate->setAutoFillBackground(true);
    return plate;
}

// A drum pad's look: a released pad is a white box with black text; a held
// pad stands out raised in the desktop's button colours.
inline void showPadLook(QLabel* pad, bool pressed)
{
    pad->setFrameShape(pressed ? QFrame::Panel : QFrame::Box);
    pad->setFrameShadow(pressed ? QFrame::Raised : QFrame::Plain);
    pad->setLineWidth(pressed ? 2 : 1);
    const QPalette desktop = pad->parentWidget()->palette();
    QPalette look = desktop;
    look.setColor(QPalette::Window, pressed ? desktop.color(QPalette::Button) : QColor(Qt::white));
    look.setColor(QPalette::WindowText, pressed ? desktop.color(QPalette::ButtonText) : QColor(Qt::black));
    pad->setPalette(look);
}

inline QWidget* panel(QWidget* parent, const char* name)
{
    auto* widget = new QWidget(parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

inline QIcon icon(const char* name)
{
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

} // namespace clavora::parts
