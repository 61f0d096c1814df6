#include "KeyCodes.h"

#include <array>
#include <cstring>
#include <utility>

namespace clavora::keys {

namespace {

// XKB key codes (evdev code + 8) of the US-layout positions.
constexpr std::array<std::pair<std::uint32_t, int>, 86> kXkbKeys {{
    {9, kEscape},
    {10, 49},
    {11, 50},
    {12, 51},
    {13, 52},
    {14, 53},
    {15, 54},
    {16, 55},
    {17, 56},
    {18, 57},
    {19, 48},
    {20, kMinus},
    {21, kEquals},
    {22, kBackspace},
    {23, kTab},
    {24, 'Q'},
    {25, 'W'},
    {26, 'E'},
    {27, 'R'},
    {28, 'T'},
    {29, 'Y'},
    {30, 'U'},
    {31, 'I'},
    {32, 'O'},
    {33, 'P'},
    {34, kBracketLeft},
    {35, kBracketRight},
    {36, kEnter},
    {37, kCtrl},
    {38, 'A'},
    {39, 'S'},
    {40, 'D'},
    {41, 'F'},
    {42, 'G'},
    {43, 'H'},
    {44, 'J'},
    {45, 'K'},
    {46, 'L'},
    {47, kSemicolon},
    {48, kQuote},
    {49, 192},
    {50, kShift},
    {51, 220},
    {52, 'Z'},
    {53, 'X'},
    {54, 'C'},
    {55, 'V'},
    {56, 'B'},
    {57, 'N'},
    {58, 'M'},
    {59, kComma},
    {60, kPeriod},
    {61, kSlash},
    {62, kShift},
    {64, kAlt},
    {65, kSpace},
    {66, kCapsLock},
    {67, kF(1)},
    {68, kF(2)},
    {69, kF(3)},
    {70, kF(4)},
    {71, kF(5)},
    {72, kF(6)},
    {73, kF(7)},
    {74, kF(8)},
    {75, kF(9)},
    {76, kF(10)},
    {95, kF(11)},
    {96, kF(12)},
    {191, kF13},
    {94, 226},
    {105, kCtrl},
    {108, kAlt},
    {110, kHome},
    {111, kUp},
    {112, kPageUp},
    {113, kLeft},
    {114, kRight},
    {115, kEnd},
    {116, kDown},
    {117, kPageDown},
    {118, kInsert},
    {119, kDelete},
}};

// Qt keys of a US layout, shifted symbols included, for events without a
// native scan code.
constexpr std::array<std::pair<int, int>, 58> kQtKeys {{
    {Qt::Key_Backspace, kBackspace},
    {Qt::Key_Tab, kTab},
    {Qt::Key_Backtab, kTab},
    {Qt::Key_Return, kEnter},
    {Qt::Key_Enter, kEnter},
    {Qt::Key_Shift, kShift},
    {Qt::Key_Control, kCtrl},
    {Qt::Key_Alt, kAlt},
    {Qt::Key_AltGr, kAlt},
    {Qt::Key_CapsLock, kCapsLock},
    {Qt::Key_Escape, kEscape},
    {Qt::Key_Space, kSpace},
    {Qt::Key_PageUp, kPageUp},
    {Qt::Key_PageDown, kPageDown},
    {Qt::Key_End, kEnd},
    {Qt::Key_Home, kHome},
    {Qt::Key_Left, kLeft},
    {Qt::Key_Up, kUp},
    {Qt::Key_Right, kRight},
    {Qt::Key_Down, kDown},
    {Qt::Key_Insert, kInsert},
    {Qt::Key_Delete, kDelete},
    {Qt::Key_Semicolon, kSemicolon},
    {Qt::Key_Colon, kSemicolon},
    {Qt::Key_Equal, kEquals},
    {Qt::Key_Plus, kEquals},
    {Qt::Key_Comma, kComma},
    {Qt::Key_Less, kComma},
    {Qt::Key_Minus, kMinus},
    {Qt::Key_Underscore, kMinus},
    {Qt::Key_Period, kPeriod},
    {Qt::Key_Greater, kPeriod},
    {Qt::Key_Slash, kSlash},
    {Qt::Key_Question, kSlash},
    {Qt::Key_BracketLeft, kBracketLeft},
    {Qt::Key_BraceLeft, kBracketLeft},
    {Qt::Key_BracketRight, kBracketRight},
    {Qt::Key_BraceRight, kBracketRight},
    {Qt::Key_Apostrophe, kQuote},
    {Qt::Key_QuoteDbl, kQuote},
    {Qt::Key_QuoteLeft, 192},
    {Qt::Key_AsciiTilde, 192},
    {Qt::Key_Backslash, 220},
    {Qt::Key_Bar, 220},
    {Qt::Key_Exclam, 49},
    {Qt::Key_At, 50},
    {Qt::Key_NumberSign, 51},
    {Qt::Key_Dollar, 52},
    {Qt::Key_Percent, 53},
    {Qt::Key_AsciiCircum, 54},
    {Qt::Key_Ampersand, 55},
    {Qt::Key_Asterisk, 56},
    {Qt::Key_ParenLeft, 57},
    {Qt::Key_ParenRight, 48},
    {Qt::Key_F13, kF13},
    {Qt::Key_NumLock, 144},
    {Qt::Key_Pause, 19},
    {Qt::Key_Print, 44},
}};

// Keypad keys other than the digits (Num Lock on: operators; off: navigation).
constexpr std::array<std::pair<int, int>, 5> kKeypadOperators {{
    {Qt::Key_Asterisk, 106},
    {Qt::Key_Plus, 107},
    {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110},
    {Qt::Key_Slash, 111},
}};

template <typename Table, typename Key> int lookup(const Table& table, Key key)
{
    for (const auto& [from, to] : table)
        if (from == key)
            return to;
    return 0;
}

int fromQtKey(int qtKey)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return kLetterA + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return kDigit0 + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return kF1 + (qtKey - Qt::Key_F1);
    return lookup(kQtKeys, qtKey);
}

} // namespace

int modifierMask(Qt::KeyboardModifiers modifiers)
{
    int mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= kShiftMask;
    if (modifiers & Qt::ControlModifier)
        mask |= kCtrlMask;
    if (modifiers & Qt::AltModifier)
        mask |= kAltMask;
    return mask;
}

int virtualKey(ScanCodes scanCodes, std::uint32_t nativeScanCode, int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
            return kKeypad0 + (qtKey - Qt::Key_0);
        if (const int code = lookup(kKeypadOperators, qtKey))
            return code;
        return fromQtKey(qtKey);
    }
    if (scanCodes == ScanCodes::Xkb && nativeScanCode != 0) {
        if (const int code = lookup(kXkbKeys, nativeScanCode))
            return code;
    }
    return fromQtKey(qtKey);
}

std::uint32_t nativeScanCodeOf(int virtualKey)
{
    for (const auto& [scanCode, code] : kXkbKeys)
        if (code == virtualKey)
            return scanCode;
    return 0;
}

ScanCodes scanCodesOf(const char* platformName)
{
    if (platformName == nullptr)
        return ScanCodes::None;
    if (std::strcmp(platformName, "xcb") == 0 || std::strncmp(platformName, "wayland", 7) == 0)
        return ScanCodes::Xkb;
    return ScanCodes::None;
}

} // namespace clavora::keys
