#include "MidiDeviceDialog.h"

#include "MidiPort.h"

#include <QComboBox>

namespace clavora::sound {

namespace {

constexpr int kDefaultEntryData = MidiPort::kDefaultDevice;
constexpr DeviceDialog::Names kNames {"frmMIDI", "fraMIDISelect", "lblMIDIOut", "MIDIOut"};

} // namespace

MidiDeviceDialog::MidiDeviceDialog(MidiPort& port, int language, std::function<void()> resetSettings, QWidget* parent)
    : DeviceDialog(kNames, lang::midiDialogCaptions(), language, parent)
    , port_(port)
    , resetSettings_(std::move(resetSettings))
    , openingDevice_(port.currentMidiDevice())
{
    fillList();
    layOut();
}

void MidiDeviceDialog::fillList()
{
    // The default entry at position 0, then device d at position d + 1, as
    // the system reports them now.
    QComboBox* const entries = list();
    entries->clear();
    entries->addItem(caption(lang::kMidiDefaultEntry), kDefaultEntryData);
    port_.refreshDevices();
    const int count = port_.midiOutCount();
    for (int device = 0; device < count; ++device)
        entries->addItem(QString::fromStdString(port_.midiOutName(device)), device);

    if (entries->count() == 2) {
        // A single device: there is nothing to choose.
        entries->setCurrentIndex(1);
        entries->setEnabled(false);
    } else if (openingDevice_ == MidiPort::kDefaultDevice) {
        entries->setCurrentIndex(0);
    } else if (openingDevice_ >= 0 && entries->count() >= openingDevice_ + 2) {
        entries->setCurrentIndex(openingDevice_ + 1);
    } else {
        // The device in force has gone.
        entries->setCurrentIndex(-1);
    }
}

void MidiDeviceDialog::confirm()
{
    if (!list()->isEnabled()) {
        accept();
        return;
    }
    const int position = list()->currentIndex();
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
