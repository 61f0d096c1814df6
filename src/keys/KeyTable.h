#pragma once
#include <array>

namespace clavora {

constexpr int kKeyCount = 44;
constexpr int kNoKey = -1;

struct PianoKeyEntry {
    int code; // virtual-key code of the computer key that plays it
    const char* cap; // text on the on-screen key
};

// Computer keys and cap texts of the 44 keys, lowest C first. Keys 37, 39
// and 42 carry their names as vertical letters.
constexpr std::array<PianoKeyEntry, kKeyCount> kPianoKeys {{
    {90, "Z"},
    {83, "S"},
    {88, "X"},
    {68, "D"},
    {67, "C"},
    {86, "V"},
    {71, "G"},
    {66, "B"},
    {72, "H"},
    {78, "N"},
    {74, "J"},
    {77, "M"},
    {188, ","},
    {76, "L"},
    {190, "."},
    {186, ";"},
    {191, "/"},
    {81, "Q"},
    {50, "2"},
    {87, "W"},
    {51, "3"},
    {69, "E"},
    {52, "4"},
    {82, "R"},
    {84, "T"},
    {54, "6"},
    {89, "Y"},
    {55, "7"},
    {85, "U"},
    {73, "I"},
    {57, "9"},
    {79, "O"},
    {48, "0"},
    {80, "P"},
    {189, "-"},
    {219, "["},
    {221, "]"},
    {8, "B\nS"},
    {13, "Ent"},
    {45, "I\nN\nS"},
    {46, "Del"},
    {35, "End"},
    {33, "P\nG\nU"},
    {34, "Pgd"},
}};

// Black keys are the sharps: pitch classes 1, 3, 6, 8 and 10.
constexpr bool isBlackKey(int key)
{
    const int pitchClass = key % 12;
    return pitchClass == 1 || pitchClass == 3 || pitchClass == 6 || pitchClass == 8 || pitchClass == 10;
}

// First key index whose computer key has this code, or kNoKey.
constexpr int findKey(int code)
{
    for (int k = 0; k < kKeyCount; ++k)
        if (kPianoKeys[static_cast<std::size_t>(k)].code == code)
            return k;
    return kNoKey;
}

} // namespace clavora
