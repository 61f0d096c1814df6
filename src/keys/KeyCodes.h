#pragma once
#include <Qt>

#include <cstdint>

namespace clavora::keys {

// Virtual-key codes: the numbers the key tables and commands use (those of a
// US keyboard; see virtualKey() for how other layouts reach them).
constexpr int kBackspace = 8;
constexpr int kTab = 9;
constexpr int kEnter = 13;
constexpr int kShift = 16;
constexpr int kCtrl = 17;
constexpr int kAlt = 18;
constexpr int kCapsLock = 20;
constexpr int kEscape = 27;
constexpr int kSpace = 32;
constexpr int kPageUp = 33;
constexpr int kPageDown = 34;
constexpr int kEnd = 35;
constexpr int kHome = 36;
constexpr int kLeft = 37;
constexpr int kUp = 38;
constexpr int kRight = 39;
constexpr int kDown = 40;
constexpr int kInsert = 45;
constexpr int kDelete = 46;
constexpr int kDigit0 = 48;
constexpr int kLetterA = 65;
constexpr int kKeypad0 = 96;
constexpr int kKeypad9 = 105;
constexpr int kF1 = 112;
constexpr int kF12 = 123;
constexpr int kF13 = 124;
constexpr int kSemicolon = 186;
constexpr int kEquals = 187;
constexpr int kComma = 188;
constexpr int kMinus = 189;
constexpr int kPeriod = 190;
constexpr int kSlash = 191;
constexpr int kBracketLeft = 219;
constexpr int kBracketRight = 221;
constexpr int kQuote = 222;

constexpr int kF(int n)
{
    return kF1 + n - 1;
}

// The kinds of key the command tables are made of.
constexpr bool isFunctionKey(int code)
{
    return code >= kF1 && code <= kF13;
}
constexpr bool isArrow(int code)
{
    return code >= kLeft && code <= kDown;
}
constexpr bool isKeypadDigit(int code)
{
    return code >= kKeypad0 && code <= kKeypad9;
}

// Modifier mask of the key events: Shift 1, Ctrl 2, Alt 4, added together.
constexpr int kShiftMask = 1;
constexpr int kCtrlMask = 2;
constexpr int kAltMask = 4;

int modifierMask(Qt::KeyboardModifiers modifiers);

// Where a key event's native scan code can be trusted to name a physical key.
enum class ScanCodes { None, Xkb };

// The virtual-key code of a key event, or 0 for a key the program does not
// know. Keys are taken by physical position from their XKB key code when the
// platform reports one, so the same keys play the same notes on every layout;
// keypad keys follow the Qt key (Num Lock decides digits or navigation);
// events without a native code fall back to the Qt key.
int virtualKey(ScanCodes scanCodes, std::uint32_t nativeScanCode, int qtKey, Qt::KeyboardModifiers modifiers);

// The XKB key code of the key in this virtual key's US-layout position, or 0.
std::uint32_t nativeScanCodeOf(int virtualKey);

// The platform's kind of scan code, for the running platform plug-in.
ScanCodes scanCodesOf(const char* platformName);

} // namespace clavora::keys
