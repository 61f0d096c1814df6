#pragma once
#include "Captions.h"

#include <span>

class QWidget;

namespace clavora::lang {

// Gives every control of a window named in the table its text in the
// language: labels and buttons their text, frames their title, and the
// window itself (the entry with its objectName) its title. A language
// outside 1..3 reads English.
void applyWindowCaptions(QWidget& window, std::span<const CaptionEntry> table, int language);

// The entry's text in the language, English outside 1..3.
QString windowCaption(std::span<const CaptionEntry> table, int language, std::string_view objectName);

} // namespace clavora::lang
