#include "HelpPages.h"

namespace clavora::lang {

namespace {

constexpr HelpRow kPlayNotes[] = {
    {"FirstOctaveKeysLabel", ",  L  .  ;  /  Q  2  W  3  E  4  R", "FirstOctaveKeys"},
    {"SecondOctaveKeysLabel", "T  6  Y  7  U  I  9  O  0  P  -  [", "SecondOctaveKeys"},
    // Page Up comes before Page Down on the keyboard map.
    {"ThirdOctaveKeysLabel", "]  BS Ent  Ins  Del  End  PgU  PgD", "ThirdOctaveKeys"},
};

constexpr HelpRow kOptions[] = {
    {"EscLabel", "Esc", "Esc"},
    {"F1Label", "F1", "F1"},
    {"ShiftF1Label", "Shift+F1", "ShiftF1"},
};

constexpr HelpRow kMainAreaSettings[] = {
    {"LeftRightLabel", {}, "LeftRight"},
    {"UpDownLabel", {}, "UpDown"},
    {"ShiftF5ShiftF6Label", "Shift+F5 / Shift+F6", "ShiftF5ShiftF6"},
    {"F5F6Label", "F5 / F6", "F5F6"},
    {"F7F8Label", "F7 / F8", "F7F8"},
    {"CtrlShiftF8Label", "Ctrl+Shift+F8", "CtrlShiftF8"},
};

constexpr HelpGroup kNotesGroups[] = {
    {"PlayNotes", kPlayNotes},
    {"Options", kOptions},
    {"MainAreaSettings", kMainAreaSettings},
};

constexpr HelpRow kPlayChords[] = {
    {"ChordKeysLabel", "Z  S  X  D  C  V  G  B  H  N  J  M", "ChordKeys"},
    {"F2Label", "F2", "F2"},
    {"ShiftF2Label", "Shift+F2", "ShiftF2"},
    {"F3Label", "F3", "F3"},
    {"F4Label", "F4", "F4"},
};

constexpr HelpRow kChordAreaSettings[] = {
    {"CtrlLeftCtrlRightLabel", {}, "CtrlLeftCtrlRight"},
    {"CtrlUpCtrlDownLabel", {}, "CtrlUpCtrlDown"},
    {"ShiftF9ShiftF10Label", "Shift+F9 / Shift+F10", "ShiftF9ShiftF10"},
    {"F9F10Label", "F9 / F10", "F9F10"},
    {"F11F12Label", "F11 / F12", "F11F12"},
    {"ShiftF3Label", "Shift+F3", "ShiftF3"},
    {"CtrlShiftF12Label", "Ctrl+Shift+F12", "CtrlShiftF12"},
};

constexpr HelpRow kChordConfiguration[] = {
    {"ShiftF12Label", "Shift+F12", "ShiftF12"},
};

constexpr HelpGroup kChordsGroups[] = {
    {"PlayChords", kPlayChords},
    {"ChordAreaSettings", kChordAreaSettings},
    {"ChordConfiguration", kChordConfiguration},
};

constexpr HelpRow kChordType[] = {
    {"HoldNoKeyLabel", {}, "HoldNoKey"},
    {"ShiftKeyLabel", "Shift", "ShiftKey"},
    {"ContolKeyLabel", "Control", "ControlKey"},
    {"ShiftControlKeyLabel", "Shift + Control", "ShiftControlKey"},
    {"CapsKeyLabel", "Caps Lock", "CapsLockKey"},
    {"CapsShiftKeyLabel", "Caps Lock + Shift", "CapsLockShiftKey"},
    {"CapsControlKeyLabel", "Caps Lock + Control", "CapsLockControlKey"},
    {"CapsShiftControlKeyLabel", "Caps Lock + Shift + Control", "CapsLockShiftControlKey"},
    {"SpacebarKeyLabel", {}, "SpacebarKey"},
    {"SpacebarShiftKeyLabel", {}, "SpacebarShiftKey"},
    {"SpacebarControlKeyLabel", {}, "SpaceBarControlKey"},
    {"SpacebarShiftControlKeyLabel", {}, "SpacebarShiftControlKey"},
};

constexpr HelpGroup kChordTypesGroups[] = {
    {"ChordType", kChordType},
};

constexpr HelpRow kDrumsSettings[] = {
    {"ShiftF4LabelDrums", "Shift+F4", "ShiftF4Drums"},
};

constexpr HelpRow kDrumConfiguration[] = {
    {"LeftRightLabelDrum", {}, "LeftRightDrum"},
    {"NumberLabel", {}, "Number"},
    {"UpLabelDrum", {}, "UpDrum"},
    {"DownLabelDrum", {}, "DownDrum"},
    {"F12LabelDrum", "F12", "F12Drum"},
};

constexpr HelpRow kDrumOptions[] = {
    {"F5F6LabelDrum", "F5 / F6", "F5F6Drum"},
    {"CtrlShiftF12LabelDrum", "Ctrl+Shift+F12", "CtrlShiftF12Drum"},
};

constexpr HelpGroup kDrumsGroups[] = {
    {"DrumsSettings", kDrumsSettings},
    {"DrumConfiguration", kDrumConfiguration},
    {"DrumOptions", kDrumOptions},
};

constexpr HelpPage kPages[] = {
    {"Notes", "NotesPanel", kNotesGroups},
    {"Chords", "ChordsPanel", kChordsGroups},
    {"ChordTypes", "ChordTypesPanel", kChordTypesGroups},
    {"Drums", "DrumsPanel", kDrumsGroups},
};

} // namespace

std::span<const HelpPage> helpPages()
{
    return kPages;
}

} // namespace clavora::lang
