#pragma once
#include "DeviceDialog.h"

#include <functional>

namespace clavora {
class MidiInput;
class Platform;
} // namespace clavora

namespace clavora::sound {

// The MIDI in device dialog: "None" (item data -1), then every source of the
// input as the system lists it now (item data = source number), the source
// open selected. OK opens the choice, after `releaseHeld` has let go of what
// the source open holds; a source that cannot be opened says so with a box
// and leaves none open. OK on the choice in force, and Cancel, change nothing.
class MidiInDeviceDialog : public DeviceDialog {
    Q_OBJECT
public:
    static constexpr int kNone = -1;

    MidiInDeviceDialog(MidiInput& input, Platform& platform, int language, std::function<void()> releaseHeld,
        QWidget* parent = nullptr);

private:
    void confirm() override;

    MidiInput& input_;
    Platform& platform_;
    std::function<void()> releaseHeld_;
    int openingSource_;
};

} // namespace clavora::sound
