// Drums mode's key commands: by the modifier mask, a key is a command of the
// plain, Shift or Shift+Ctrl table, or plays its pad. Keys a table does not
// list do nothing.
#include "DrumPads.h"

#include "keys/KeyCodes.h"
#include "keys/Setting.h"

namespace clavora {

using namespace keys;

void DrumPads::keyDown(int code, int mask)
{
    if (mask == 0 && ((code >= kKeypad0 && code <= kF12) || isArrow(code) || code == kF13))
        return plainCommand(code);
    if (mask == kShiftMask && (isFunctionKey(code) || isArrow(code)))
        return shiftCommand(code);
    if (mask == (kShiftMask | kCtrlMask)) {
        if (code == kF(12))
            defaultDrumSettings();
        return;
    }
    if (code == kEscape) {
        emit silenceRequested();
        return;
    }
    press(findDrumKey(code), Hand::Keyboard);
}

bool DrumPads::onlyPlays(int code, int mask) const
{
    const bool command = (code >= kKeypad0 && code <= kF12) || isArrow(code) || isFunctionKey(code) || code == kEscape;
    return mask != (kShiftMask | kCtrlMask) && !command && isPad(findDrumKey(code));
}

// The release of a key whose press played no pad here stops nothing.
void DrumPads::keyUp(int code)
{
    release(findDrumKey(code), Hand::Keyboard);
}

void DrumPads::plainCommand(int code)
{
    if (isKeypadDigit(code)) {
        enterDigit(code - kKeypad0);
        return;
    }
    switch (code) {
    case kLeft:
        stepSound(-1);
        break;
    case kRight:
        stepSound(+1);
        break;
    case kUp:
        setLastIntensity(true);
        break;
    case kDown:
        setLastIntensity(false);
        break;
    case kF(1):
        emit helpRequested();
        break;
    case kF(5):
        volume_->step(-1);
        break;
    case kF(6):
        volume_->step(+1);
        break;
    case kF(12):
        emit editorRequested();
        break;
    default:
        break;
    }
}

void DrumPads::shiftCommand(int code)
{
    switch (code) {
    case kLeft:
        jumpSound(-8);
        break;
    case kRight:
        jumpSound(+8);
        break;
    case kF(1):
        emit languageDialogRequested();
        break;
    case kF(4):
        emit drumsModeToggleRequested();
        break;
    case kF(5):
        volume_->clampedStep(-8);
        break;
    case kF(6):
        volume_->clampedStep(+8);
        break;
    default:
        break;
    }
}

} // namespace clavora
