#pragma once
// Texts of the chord editors and the drum-key editor, per language.
#include "Captions.h"

#include <QString>
#include <QStringList>

#include <span>
#include <string_view>

namespace clavora::lang {

// Keyboard-chord editor: window title (also its title label), labels,
// frame, buttons and the text shown when a chord cannot be stored.
std::span<const CaptionEntry> chordKeysEditorCaptions();
// Guitar-chord editor: the same, with the strings heading and the legend.
std::span<const CaptionEntry> chordGuitarEditorCaptions();
// Drum-key editor: window title, labels, frame, buttons and the two
// intensity entries (keys kIntensityNormal, kIntensityHigh).
std::span<const CaptionEntry> drumEditorCaptions();

// Key of the refusal text in both chord tables; "%1" stands for the row or string.
inline constexpr std::string_view kChordRefused = "ChordRefused";
inline constexpr std::string_view kIntensityNormal = "Intensity(0)";
inline constexpr std::string_view kIntensityHigh = "Intensity(1)";

// The twelve chord type names the editors list, in chord type order; a
// language outside 1..3 reads English.
QStringList chordTypeNames(int language);

} // namespace clavora::lang
