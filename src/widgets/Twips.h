#pragma once
#include <QRect>
#include <QWidget>

#include <cmath>

namespace clavora {

// Positions are designed in twips, 1440 to the inch, and turned into pixels
// at the screen's logical resolution: 15 twips a pixel at 96 dpi.
class Twips {
public:
    explicit Twips(double logicalDpi = 96.0)
        : pixelsPerTwip_(logicalDpi / 1440.0)
    {
    }
    static Twips forWidget(const QWidget* widget) { return Twips(widget ? widget->logicalDpiY() : 96.0); }

    int operator()(int twips) const { return static_cast<int>(std::lround(twips * pixelsPerTwip_)); }
    int toTwips(int pixels) const { return static_cast<int>(std::lround(pixels / pixelsPerTwip_)); }
    QRect rect(int left, int top, int width, int height) const
    {
        return QRect((*this)(left), (*this)(top), (*this)(width), (*this)(height));
    }
    void place(QWidget* widget, int left, int top, int width, int height) const
    {
        widget->setGeometry(rect(left, top, width, height));
    }
    // As place, grown where the widget's text or style needs more room than
    // the design gave it.
    void placeToFit(QWidget* widget, int left, int top, int width, int height) const
    {
        place(widget, left, top, width, height);
        widget->resize(widget->size().expandedTo(widget->sizeHint()));
    }

private:
    double pixelsPerTwip_;
};

} // namespace clavora
