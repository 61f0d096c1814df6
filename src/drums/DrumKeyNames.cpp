#include "DrumKeyNames.h"

#include "DrumPads.h"

#include <array>

namespace clavora {

namespace {

constexpr std::array<const char*, DrumPads::kPadCount> kDrumKeyNames {
    "Z",
    "X",
    "C",
    "V",
    "B",
    "N",
    "M",
    ",",
    ".",
    "/",
    "A",
    "S",
    "D",
    "F",
    "G",
    "H",
    "J",
    "K",
    "L",
    ";",
    "'",
    "Enter",
    "Q",
    "W",
    "E",
    "R",
    "T",
    "Y",
    "U",
    "I",
    "O",
    "P",
    "[",
    "]",
    "1",
    "2",
    "3",
    "4",
    "5",
    "6",
    "7",
    "8",
    "9",
    "0",
    "-",
    "=",
    "BackSpace",
};

} // namespace

QStringList drumKeyNames()
{
    QStringList names;
    for (const char* name : kDrumKeyNames)
        names << QString::fromLatin1(name);
    return names;
}

} // namespace clavora
