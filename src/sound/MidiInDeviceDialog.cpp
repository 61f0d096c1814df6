#include "MidiInDeviceDialog.h"

#include "MidiPort.h"
#include "platform/MidiInput.h"
#include "platform/Platform.h"

#include <QComboBox>

namespace clavora::sound {

namespace {

constexpr DeviceDialog::Names kNames {"frmMIDIIn", "fraMIDIInSelect", "lblMIDIIn", "MIDIIn"};

} // namespace

MidiInDeviceDialog::MidiInDeviceDialog(
    MidiInput& input, Platform& platform, int language, std::function<void()> releaseHeld, QWidget* parent)
    : DeviceDialog(kNames, lang::midiInDialogCaptions(), language, parent)
    , input_(input)
    , platform_(platform)
    , releaseHeld_(std::move(releaseHeld))
{
    // "None" at position 0, then source s at position s + 1.
    QComboBox* const entries = list();
    entries->addItem(caption(lang::kMidiNoneEntry), kNone);
    input_.refresh();
    const int count = input_.sourceCount();
    for (int source = 0; source < count; ++source)
        entries->addItem(QString::fromStdString(input_.sourceName(source)), source);
    openingSource_ = input_.openSource();
    entries->setCurrentIndex(openingSource_ + 1);
    layOut();
}

void MidiInDeviceDialog::confirm()
{
    const int source = list()->currentData().isValid() ? list()->currentData().toInt() : kNone;
    if (source == openingSource_) {
        // A source that has left reads as none: choosing None stops waiting
        // for it to come back.
        if (source == kNone)
            input_.close();
        accept();
        return;
    }
    if (releaseHeld_)
        releaseHeld_();
    input_.close();
    if (source != kNone && !input_.open(source)) {
        input_.close();
        platform_.messageBox(
            MessageIcon::Exclamation, MidiPort::kWarningTitle, caption(lang::kMidiInOpenFailed).toStdString());
    }
    accept();
}

} // namespace clavora::sound
