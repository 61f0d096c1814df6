#include "Setting.h"

#include <algorithm>

namespace clavora {

Setting::Setting(int minimum, int maximum, int largeChange, QObject* parent)
    : QObject(parent)
    , minimum_(minimum)
    , maximum_(maximum)
    , largeChange_(largeChange)
    , value_(minimum)
{
}

void Setting::setValue(int value)
{
    value = std::clamp(value, minimum_, maximum_);
    if (value == value_)
        return;
    value_ = value;
    change();
}

void Setting::change()
{
    if (handler_)
        handler_();
    emit valueChanged(value_);
}

void Setting::step(int delta)
{
    const int target = value_ + delta;
    if (target < minimum_ || target > maximum_)
        return;
    setValue(target);
}

void Setting::clampedStep(int delta)
{
    const int target = std::clamp(value_ + delta, minimum_, maximum_);
    if (target == value_) {
        change();
        return;
    }
    setValue(target);
}

void Setting::setLabel(const QString& label)
{
    if (label == label_)
        return;
    label_ = label;
    emit labelChanged(label_);
}

} // namespace clavora
