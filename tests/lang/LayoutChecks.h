#pragma once
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

} // namespace clavora::test
