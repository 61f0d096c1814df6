// Which X events are key presses that may be played ahead of Qt, and that
// only the first event after the event loop was idle is taken.
#include "platform/X11KeyPresses.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <vector>

namespace {

using clavora::x11::EarlyKeyPresses;
using clavora::x11::KeyPress;

xcb_key_press_event_t keyEvent(std::uint8_t type, std::uint16_t state, std::uint8_t keyCode = 24)
{
    xcb_key_press_event_t event {};
    event.response_type = type;
    event.detail = keyCode;
    event.time = 4321;
    event.event = 0x400005;
    event.state = state;
    return event;
}

struct StateCase {
    const char* name;
    std::uint8_t type;
    std::uint16_t state;
    bool taken;
    Qt::KeyboardModifiers modifiers;
};

class EarlyPress : public testing::TestWithParam<StateCase> { };

TEST_P(EarlyPress, TakesPlainShiftAndCtrlPressesOnly)
{
    const StateCase& c = GetParam();
    const xcb_key_press_event_t event = keyEvent(c.type, c.state);
    const std::optional<KeyPress> press
        = clavora::x11::earlyPressOf(reinterpret_cast<const xcb_generic_event_t&>(event));
    ASSERT_EQ(press.has_value(), c.taken);
    if (press) {
        EXPECT_EQ(press->modifiers, c.modifiers);
        EXPECT_EQ(std::tuple(press->keyCode, press->timestamp, press->window), std::tuple(24u, 4321ul, 0x400005u));
    }
}

// State bits: Shift 1, Lock 2, Control 4, Mod1 (Alt) 8, Mod2 (Num Lock) 16,
// Mod4 (logo) 64, Mod5 (AltGr) 128, Button1 256.
INSTANTIATE_TEST_SUITE_P(States, EarlyPress,
    testing::Values(StateCase {"Plain", XCB_KEY_PRESS, 0, true, {}},
        StateCase {"Shift", XCB_KEY_PRESS, 1, true, Qt::ShiftModifier},
        StateCase {"CtrlWithCapsAndNumLock", XCB_KEY_PRESS, 4 | 2 | 16, true, Qt::ControlModifier},
        StateCase {"ShiftCtrl", XCB_KEY_PRESS, 5, true, Qt::ShiftModifier | Qt::ControlModifier},
        StateCase {"Alt", XCB_KEY_PRESS, 8, false, {}}, StateCase {"Logo", XCB_KEY_PRESS, 64, false, {}},
        StateCase {"AltGr", XCB_KEY_PRESS, 128, false, {}}, StateCase {"MouseButton", XCB_KEY_PRESS, 256, false, {}},
        StateCase {"Release", XCB_KEY_RELEASE, 0, false, {}},
        StateCase {"SentByAClient", XCB_KEY_PRESS | 0x80, 0, false, {}}),
    [](const testing::TestParamInfo<StateCase>& info) { return info.param.name; });

TEST(EarlyKeyPresses, OnlyTheFirstEventAfterTheLoopWasIdle)
{
    std::vector<std::uint32_t> taken;
    EarlyKeyPresses filter([&](const KeyPress& press) { taken.push_back(press.keyCode); });
    const auto deliver = [&](std::uint8_t type, std::uint8_t keyCode, const char* kind = "xcb_generic_event_t") {
        xcb_key_press_event_t event = keyEvent(type, 0, keyCode);
        EXPECT_FALSE(filter.nativeEventFilter(kind, &event, nullptr)); // Qt always goes on
    };
    deliver(XCB_KEY_PRESS, 10); // the loop has not been idle yet
    filter.loopIdle();
    deliver(XCB_KEY_PRESS, 11);
    deliver(XCB_KEY_PRESS, 12); // behind another event
    filter.loopIdle();
    deliver(XCB_KEY_RELEASE, 13);
    deliver(XCB_KEY_PRESS, 14); // behind the release
    filter.loopIdle();
    deliver(XCB_KEY_PRESS, 15, "windows_generic_MSG");
    deliver(XCB_KEY_PRESS, 16);
    EXPECT_EQ(taken, (std::vector<std::uint32_t> {11, 16}));
}

} // namespace
