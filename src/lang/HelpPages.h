#pragma once
#include <span>
#include <string_view>

namespace clavora::lang {

// One line of the help window: the keys to press and what they do.
struct HelpRow {
    std::string_view keyLabel; // objectName of the key label
    std::string_view keyText; // its text when the same in every language, else empty
    std::string_view description; // objectName of the description label
};

// A framed group of rows.
struct HelpGroup {
    std::string_view frame; // objectName of the frame
    std::span<const HelpRow> rows;
};

// A page of the help window and the button that shows it.
struct HelpPage {
    std::string_view button; // objectName of the page button
    std::string_view panel; // objectName of the page's panel
    std::span<const HelpGroup> groups;
};

// The four pages in button order: Notes, Chords, ChordTypes, Drums. Frame
// captions, descriptions and the language-dependent key labels take their
// texts from helpWindowCaptions().
std::span<const HelpPage> helpPages();

} // namespace clavora::lang
