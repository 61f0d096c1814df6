#pragma once
#include <QWidget>

class QLabel;

namespace clavora {

// One on-screen key: white or black, flat when up and raised (3-D) while
// held, with its computer key's character as cap. Mouse presses and releases
// are reported for any button; the release reaches the key that was pressed
// even when the pointer has left it.
class PianoKeyWidget : public QWidget {
    Q_OBJECT
public:
    PianoKeyWidget(int index, bool black, const QString& cap, QWidget* parent = nullptr);

    int index() const { return index_; }
    bool isShownPressed() const { return pressed_; }
    void showPressed(bool pressed);
    QLabel* cap() const { return cap_; }

signals:
    void pressed(int index);
    void released(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void updateCapColour();

    int index_;
    bool black_;
    bool pressed_ = false;
    QLabel* cap_;
};

} // namespace clavora
