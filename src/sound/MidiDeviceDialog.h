#pragma once
#include "DeviceDialog.h"

#include <functional>

namespace clavora::sound {

class MidiPort;

// The MIDI out device dialog. It lists a default entry (item data -1) and
// every output device of the port (item data = device number), built afresh
// each time the dialog is created. OK switches the port to the chosen device,
// falling back to device 0 with a warning when it cannot be opened, and then
// runs `resetSettings` so that the new device receives every program change;
// OK on the choice already in force, and Cancel, change nothing.
class MidiDeviceDialog : public DeviceDialog {
    Q_OBJECT
public:
    static constexpr const char* kOpenSelectedFailedText = "Unable to open selected Device. Opening default Device";

    // `language` is 1 English, 2 Portuguese, 3 Spanish. `resetSettings`
    // restores the default main and chord settings.
    MidiDeviceDialog(MidiPort& port, int language, std::function<void()> resetSettings, QWidget* parent = nullptr);

private:
    void fillList();
    void confirm() override;
    void openDefaultDevice();
    void resetSettings();

    MidiPort& port_;
    std::function<void()> resetSettings_;
    int openingDevice_;
};

} // namespace clavora::sound
