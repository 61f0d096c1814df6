#pragma once
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace clavora::test {

// Every visible text of a shown window has the room it asks for and lies
// inside the window. Call with QVERIFY-style failure reporting.
inline void verifyNothingCut(QWidget& window)
{
    const QRect inside = window.rect();
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisible())
            continue;
        const QRect area(widget->mapTo(&window, QPoint(0, 0)), widget->size());
        QVERIFY2(inside.contains(area), qPrintable(widget->objectName() + QStringLiteral(" lies outside")));
        const QString what = widget->objectName() + QStringLiteral(" is cut off");
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (label->wordWrap()) {
                QVERIFY2(label->height() >= label->heightForWidth(label->width()), qPrintable(what));
            } else {
                QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(what));
                QVERIFY2(label->height() >= label->sizeHint().height(), qPrintable(what));
            }
        } else if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QGroupBox*>(widget)) {
            QVERIFY2(widget->width() >= widget->minimumSizeHint().width(), qPrintable(what));
            QVERIFY2(widget->height() >= widget->minimumSizeHint().height(), qPrintable(what));
        }
    }
}

// No two visible controls with the same parent overlap.
inline void verifyNoOverlap(QWidget& window)
{
    for (QWidget* a : window.findChildren<QWidget*>()) {
        for (QWidget* b : a->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (a == b || !a->isVisible() || !b->isVisible())
                continue;
            QVERIFY2(!a->geometry().intersects(b->geometry()),
                     qPrintable(a->objectName() + QStringLiteral(" overlaps ") + b->objectName()));
        }
    }
}

// The text a window shows for a control: its title for an empty name, entry
// n of a list for "Name#n", else the text of the label or button or the
// title of the frame.
inline QString shownText(QWidget& window, const QString& control)
{
    if (control.isEmpty())
        return window.windowTitle();
    if (control.contains(QLatin1Char('#'))) {
        const QStringList parts = control.split(QLatin1Char('#'));
        auto* list = window.findChild<QComboBox*>(parts[0]);
        return list ? list->itemText(parts[1].toInt()) : QString();
    }
    if (auto* label = window.findChild<QLabel*>(control))
        return label->text();
    if (auto* button = window.findChild<QAbstractButton*>(control))
        return button->text();
    if (auto* frame = window.findChild<QGroupBox*>(control))
        return frame->title();
    return {};
}

} // namespace clavora::test
