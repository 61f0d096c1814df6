#pragma once
#include "Captions.h"

#include <span>

class QWidget;

namespace clavora::lang {

enum class WindowTitle { Set, Keep };

// Gives every control of a window named in the table its text in the
// language: labels, buttons and actions their text, frames and menus their
// title, and the window itself (the entry with its objectName) its title
// unless it is to keep its own. A language outside 1..3 reads English; an
// entry without a text in the language leaves the control as it is.
void applyWindowCaptions(
    QWidget& window, std::span<const CaptionEntry> table, int language, WindowTitle title = WindowTitle::Set);

// The entry's text in the language, English outside 1..3.
QString windowCaption(std::span<const CaptionEntry> table, int language, std::string_view objectName);

} // namespace clavora::lang
