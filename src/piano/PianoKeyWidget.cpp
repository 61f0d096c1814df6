#include "PianoKeyWidget.h"

#include <algorithm>

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace clavora {

PianoKeyWidget::PianoKeyWidget(int index, bool black, const QString& cap, QWidget* parent)
    : QWidget(parent)
    , index_(index)
    , black_(black)
    , cap_(new QLabel(cap, this))
{
    setObjectName(QStringLiteral("Key(%1)").arg(index));
    cap_->setObjectName(QStringLiteral("lblKey(%1)").arg(index));
    cap_->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    cap_->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont font = cap_->font();
    // Three-letter caps (Ent, Del, End, Pgd) must fit a key's width.
    font.setPointSizeF(black ? 7.0 : (cap.size() > 2 ? 6.5 : 8.0));
    font.setBold(true);
    cap_->setFont(font);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    updateCapColour();
}

void PianoKeyWidget::showPressed(bool pressed)
{
    if (pressed_ == pressed)
        return;
    pressed_ = pressed;
    updateCapColour();
    update();
}

void PianoKeyWidget::updateCapColour()
{
    // A held key shows its cap in the desktop's highlight colours; a
    // released key has black text on white, white on black.
    const QColor text = pressed_ ? palette().color(QPalette::HighlightedText) : black_ ? Qt::white : Qt::black;
    QPalette palette = cap_->palette();
    palette.setColor(QPalette::WindowText, text);
    cap_->setPalette(palette);
}

void PianoKeyWidget::resizeEvent(QResizeEvent*)
{
    // The cap sits near the bottom of the key; taller caps grow upwards and
    // give up the gap below them before any of their letters. The label
    // asks for a little more than its lines' spacing (the last line's
    // descent, rounded up at any screen scale), or its top line is cut.
    const int capHeight = cap_->sizeHint().height();
    const int bottomGap = std::clamp(height() - capHeight, 0, black_ ? height() / 12 : height() / 14);
    cap_->setGeometry(0, std::max(0, height() - capHeight - bottomGap), width(), std::min(capHeight, height()));
}

void PianoKeyWidget::changeEvent(QEvent* event)
{
    // The desktop's theme changed: the held look follows it.
    if (event->type() == QEvent::PaletteChange)
        updateCapColour();
    QWidget::changeEvent(event);
}

void PianoKeyWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (pressed_) {
        // Raised like a 3-D box, in the desktop's highlight colour so a held
        // key stands out at a glance on light and dark themes alike.
        const QColor face = palette().color(QPalette::Highlight);
        painter.fillRect(rect(), face);
        painter.setPen(face.lighter(135));
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(face.darker(160));
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
        return;
    }
    if (black_) {
        QLinearGradient shade(r.topLeft(), r.bottomLeft());
        shade.setColorAt(0.0, QColor(0x10, 0x10, 0x10));
        shade.setColorAt(0.85, QColor(0x2a, 0x2a, 0x2a));
        shade.setColorAt(1.0, QColor(0x05, 0x05, 0x05));
        painter.fillRect(rect(), shade);
        painter.setPen(Qt::black);
        painter.drawRect(r);
        return;
    }
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QColor(0x60, 0x60, 0x60));
    painter.drawRect(r);
}

void PianoKeyWidget::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit pressed(index_);
}

void PianoKeyWidget::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    emit released(index_);
}

} // namespace clavora
