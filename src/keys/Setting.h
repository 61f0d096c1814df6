#pragma once
#include <QObject>
#include <QString>

#include <functional>

namespace clavora {

// One setting as the user sees it: a horizontal scroll bar with a range, a
// large change, a value and the label beside it. Assigning a different value
// runs the setting's change handling, as a scroll bar does; change() runs it
// whatever the value. Windows mirror value and label and write user moves back
// through setValue().
class Setting : public QObject {
    Q_OBJECT
public:
    Setting(int minimum, int maximum, int largeChange, QObject* parent = nullptr);

    int value() const { return value_; }
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int largeChange() const { return largeChange_; }
    const QString& label() const { return label_; }

    void setHandler(std::function<void()> handler) { handler_ = std::move(handler); }

    // Sets the value (kept within the range); the change handling runs when it differs.
    void setValue(int value);
    // Runs the change handling.
    void change();
    // One step towards the limit in the direction of delta; nothing at the limit.
    void step(int delta);
    // Adds delta, stopping at the range's end; the change handling always runs.
    void clampedStep(int delta);

    void setLabel(const QString& label);

signals:
    void valueChanged(int value);
    void labelChanged(const QString& label);

private:
    int minimum_;
    int maximum_;
    int largeChange_;
    int value_;
    QString label_;
    std::function<void()> handler_;
};

} // namespace clavora
