#include "MidiDeviceDialog.h"

#include "MidiPort.h"
#include "lang/AreaWords.h"
#include "lang/Captions.h"
#include "widgets/DialogParts.h"
#include "widgets/Twips.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace clavora::sound {

namespace {

// Design geometry in twips: left, top, width, height. The label and the list
// are placed inside the frame.
struct Design {
    int left;
    int top;
    int width;
    int height;
};
constexpr Design kFrame {120, 120, 3615, 1095};
constexpr Design kLabel {180, 300, 1245, 195};
constexpr Design kList {180, 600, 3255, 315};
constexpr Design kOk {4020, 240, 1215, 375};
constexpr Design kCancel {4020, 840, 1215, 375};
constexpr int kMargin = 120; // right and bottom edge of the window

constexpr int kDefaultEntryData = MidiPort::kDefaultDevice;

// Places a widget at its design position, grown where the style or the
// text needs more room than the design gave it.
void place(QWidget* widget, const Twips& t, const Design& d, QSize needed)
{
    widget->setGeometry(t.rect(d.left, d.top, d.width, d.height));
    widget->resize(widget->size().expandedTo(needed));
}

} // namespace

MidiDeviceDialog::MidiDeviceDialog(MidiPort& port, int language, std::function<void()> resetSettings, QWidget* parent)
    : QDialog(parent)
    , port_(port)
    , resetSettings_(std::move(resetSettings))
    , openingDevice_(port.currentMidiDevice())
{
    setObjectName(QStringLiteral("frmMIDI"));
    setModal(true);

    frame_ = new QGroupBox(this);
    frame_->setObjectName(QStringLiteral("fraMIDISelect"));
    label_ = new QLabel(frame_);
    label_->setObjectName(QStringLiteral("lblMIDIOut"));
    label_->setTextFormat(Qt::PlainText);
    list_ = new QComboBox(frame_);
    list_->setObjectName(QStringLiteral("MIDIOut"));
    label_->setBuddy(list_);

    const widgets::DialogButtons buttons = widgets::makeDialogButtons(this, "OK", "Cancel", &MidiDeviceDialog::confirm);
    ok_ = buttons.accept;
    ok_->setText(QStringLiteral("OK"));
    cancel_ = buttons.reject;

    // Outside the three languages the dialog reads English.
    if (language < lang::English || language > lang::kLanguageCount)
        language = lang::English;
    fillList(language);
    applyCaptions(language);
    layOut();
}

void MidiDeviceDialog::fillList(int language)
{
    // The default entry at position 0, then device d at position d + 1, as
    // the system reports them now.
    list_->clear();
    list_->addItem(lang::caption(lang::midiDialogCaptions(), language, lang::kMidiDefaultEntry), kDefaultEntryData);
    port_.refreshDevices();
    const int count = port_.midiOutCount();
    for (int device = 0; device < count; ++device)
        list_->addItem(QString::fromStdString(port_.midiOutName(device)), device);

    if (list_->count() == 2) {
        // A single device: there is nothing to choose.
        list_->setCurrentIndex(1);
        list_->setEnabled(false);
    } else if (openingDevice_ == MidiPort::kDefaultDevice) {
        list_->setCurrentIndex(0);
    } else if (openingDevice_ >= 0 && list_->count() >= openingDevice_ + 2) {
        list_->setCurrentIndex(openingDevice_ + 1);
    } else {
        // The device in force has gone.
        list_->setCurrentIndex(-1);
    }
}

void MidiDeviceDialog::applyCaptions(int language)
{
    const auto table = lang::midiDialogCaptions();
    setWindowTitle(lang::caption(table, language, "frmMIDI"));
    label_->setText(lang::caption(table, language, "lblMIDIOut"));
    cancel_->setText(lang::caption(table, language, "Cancel"));
}

void MidiDeviceDialog::layOut()
{
    const Twips t = Twips::forWidget(this);
    place(label_, t, kLabel, label_->sizeHint());
    place(list_, t, kList, QSize(0, list_->minimumSizeHint().height()));

    // The frame keeps its design margins around the list if either grew.
    const QRect inner = label_->geometry().united(list_->geometry());
    place(frame_, t, kFrame,
        QSize(inner.right() + 1 + t(kFrame.width - kList.left - kList.width),
            inner.bottom() + 1 + t(kFrame.height - kList.top - kList.height)));

    // The buttons keep their distance from the frame and from each other.
    place(ok_, t, kOk, ok_->minimumSizeHint());
    place(cancel_, t, kCancel, cancel_->minimumSizeHint());
    const int buttonLeft
        = std::max(t(kOk.left), frame_->geometry().right() + 1 + t(kOk.left - kFrame.left - kFrame.width));
    const int buttonWidth = std::max(ok_->width(), cancel_->width());
    ok_->setGeometry(buttonLeft, ok_->y(), buttonWidth, ok_->height());
    const int cancelTop = std::max(cancel_->y(), ok_->geometry().bottom() + 1 + t(kCancel.top - kOk.top - kOk.height));
    cancel_->setGeometry(buttonLeft, cancelTop, buttonWidth, cancel_->height());

    const QRect used = frame_->geometry().united(ok_->geometry()).united(cancel_->geometry());
    setFixedSize(used.right() + 1 + t(kMargin), used.bottom() + 1 + t(kMargin));
}

void MidiDeviceDialog::confirm()
{
    if (!list_->isEnabled()) {
        accept();
        return;
    }
    const int position = list_->currentIndex();
    const bool changed = position == 0 ? openingDevice_ != MidiPort::kDefaultDevice : position - 1 != openingDevice_;
    if (!changed) {
        accept();
        return;
    }
    if (position == 0) {
        openDefaultDevice();
        accept();
        return;
    }

    // With nothing selected this asks for a device number below -1, which
    // no output opens, and the dialog falls back to the default device.
    const int device = position - 1;
    port_.closeMidiOut();
    if (port_.openMidiOutDevice(device)) {
        port_.setCurrentMidiDevice(device);
        resetSettings();
        accept();
        return;
    }
    port_.warn(kOpenSelectedFailedText);
    resetSettings();
    openDefaultDevice();
    accept();
}

void MidiDeviceDialog::openDefaultDevice()
{
    port_.setCurrentMidiDevice(MidiPort::kDefaultDevice);
    port_.closeMidiOut();
    port_.openMidiOut();
    resetSettings();
}

void MidiDeviceDialog::resetSettings()
{
    if (resetSettings_)
        resetSettings_();
}

} // namespace clavora::sound
