#pragma once
#include "lang/AreaWords.h"
#include "lang/Captions.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QtTest>

#include <span>

namespace clavora::test {

// The window's control of that type and name; the test stops without one.
template <typename Control> Control* child(QWidget& window, const QString& name)
{
    if (auto* found = window.findChild<Control*>(name))
        return found;
    qFatal("no control %s", qPrintable(name));
}

// What a control must lie inside: what the scroll area it is in scrolls,
// else the window. Null for what a scroll area scrolls, which may stick out.
inline QWidget* roomOf(QWidget& window, QWidget* widget)
{
    for (QWidget* up = widget->parentWidget(); up && up != &window; up = up->parentWidget()) {
        if (auto* area = qobject_cast<QScrollArea*>(up); area && area->widget()) {
            if (area->widget() == widget)
                return nullptr;
            if (area->widget()->isAncestorOf(widget))
                return area->widget();
        }
    }
    return &window;
}

// Every visible text of a shown window has the room it asks for and lies
// inside the window, or inside what its scroll area scrolls. Call with
// QVERIFY-style failure reporting.
inline void verifyNothingCut(QWidget& window)
{
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisible())
            continue;
        QWidget* room = roomOf(window, widget);
        QVERIFY2(!room || room->rect().contains(QRect(widget->mapTo(room, QPoint(0, 0)), widget->size())),
            qPrintable(widget->objectName() + QStringLiteral(" lies outside")));
        QSize needed;
        if (auto* label = qobject_cast<QLabel*>(widget))
            needed = label->wordWrap() ? QSize(0, label->heightForWidth(label->width())) : label->sizeHint();
        else if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QGroupBox*>(widget))
            needed = widget->minimumSizeHint();
        QVERIFY2(widget->width() >= needed.width() && widget->height() >= needed.height(),
            qPrintable(widget->objectName() + QStringLiteral(" is cut off")));
    }
}

// No two visible controls with the same parent overlap.
inline void verifyNoOverlap(QWidget& window)
{
    for (QWidget* a : window.findChildren<QWidget*>())
        for (QWidget* b : a->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QVERIFY2(a == b || !a->isVisible() || !b->isVisible() || !a->geometry().intersects(b->geometry()),
                qPrintable(a->objectName() + QStringLiteral(" overlaps ") + b->objectName()));
}

// The text a control of the window shows: the window's own title under the
// window's name (or an empty name), entry n of a list for "Name#n", a
// frame's title, a button's or a label's text.
inline QString shownText(QWidget& window, const QString& name)
{
    if (name.isEmpty() || name == window.objectName())
        return window.windowTitle();
    if (const QStringList parts = name.split(QLatin1Char('#')); parts.size() == 2) {
        auto* list = window.findChild<QComboBox*>(parts[0]);
        return list ? list->itemText(parts[1].toInt()) : QString();
    }
    if (auto* frame = window.findChild<QGroupBox*>(name))
        return frame->title();
    if (auto* button = window.findChild<QAbstractButton*>(name))
        return button->text();
    auto* label = window.findChild<QLabel*>(name);
    return label ? label->text() : QStringLiteral("<no control %1>").arg(name);
}

// Every control the table names shows its text in the language; outside
// 1..3 the controls keep their design texts, the English ones.
inline void verifyCaptions(
    QWidget& window, std::span<const lang::CaptionEntry> table, int language, const QStringList& notControls = {})
{
    const int shown = language >= lang::English && language <= lang::kLanguageCount ? language : lang::English;
    for (const lang::CaptionEntry& entry : table)
        if (const QString name = QString::fromUtf8(entry.objectName.data(), qsizetype(entry.objectName.size()));
            !notControls.contains(name))
            QCOMPARE(shownText(window, name), lang::captionText(entry, shown));
}

} // namespace clavora::test
