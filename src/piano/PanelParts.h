#pragma once
// Small building blocks the main window's panels are made of.
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>

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
