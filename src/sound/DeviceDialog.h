#pragma once
#include "lang/Captions.h"

#include <QDialog>

#include <span>
#include <string_view>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace clavora::sound {

// What the MIDI out and MIDI in device dialogs share: a frame holding a label
// and the list of devices, OK and Cancel beside it, the captions of the
// dialog's language. OK runs confirm(); Cancel closes and changes nothing.
class DeviceDialog : public QDialog {
    Q_OBJECT
public:
    // The objectNames of the window, the frame, the label and the list.
    struct Names {
        const char* window;
        const char* frame;
        const char* label;
        const char* list;
    };

protected:
    // `language` is 1 English, 2 Portuguese, 3 Spanish; any other reads English.
    DeviceDialog(const Names& names, std::span<const lang::CaptionEntry> captions, int language, QWidget* parent);

    QComboBox* list() const { return list_; }
    // The dialog's text of this key in its table, in its language.
    QString caption(std::string_view key) const;
    // Places the controls at their design positions; call once the list is filled.
    void layOut();

    virtual void confirm() = 0;

private:
    std::span<const lang::CaptionEntry> captions_;
    int language_;
    QGroupBox* frame_;
    QLabel* label_;
    QComboBox* list_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace clavora::sound
