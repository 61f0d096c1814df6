#pragma once
#include <QString>

#include <array>
#include <span>
#include <string_view>

namespace clavora::lang {

// The text of one control of a window in each language, keyed by the
// control's objectName(); a window's own title is keyed by the window's
// objectName ("frmPiano", "frmLanguage", "frmMIDI", "frmHelp").
struct CaptionEntry {
    std::string_view objectName;
    std::array<std::string_view, 3> texts; // UTF-8; English, Portuguese, Spanish
};

// The entry's text in a language (1..3); a null QString for any other
// language, in which case the control keeps the text it was built with.
QString captionText(const CaptionEntry& entry, int language);

// The text of the named control in a table; a null QString when the table
// has no such control or the language lies outside 1..3.
QString caption(std::span<const CaptionEntry> table, int language, std::string_view objectName);

// Main window: window title, menus (QMenu or QAction objectNames), buttons,
// check box, frames and chord-mode options, in the order they are applied.
std::span<const CaptionEntry> mainWindowCaptions();
// Shortcut for caption(mainWindowCaptions(), language, objectName).
QString caption(int language, std::string_view objectName);

// Language dialog: window title, frame, options, Cancel and the note.
// Its OK button reads "OK" in every language.
std::span<const CaptionEntry> languageDialogCaptions();

// MIDI out device dialog: window title, label, Cancel and the text of the
// list's default entry (key kMidiDefaultEntry). Its OK button reads "OK".
std::span<const CaptionEntry> midiDialogCaptions();
inline constexpr std::string_view kMidiDefaultEntry = "DefaultEntry";

// MIDI in device dialog: the same, with the list's first entry (key
// kMidiNoneEntry) and the warning shown when a source cannot be opened.
std::span<const CaptionEntry> midiInDialogCaptions();
inline constexpr std::string_view kMidiNoneEntry = "NoneEntry";
inline constexpr std::string_view kMidiInOpenFailed = "OpenFailed";

// Help window: window title, page buttons, the two notes, then every frame,
// description and key label whose text depends on the language, page by
// page. Key labels that read the same in every language are not listed.
std::span<const CaptionEntry> helpWindowCaptions();

// About box: window title, program title, freeware line, the words of the
// credit line before the author's name ("Author") and the author's web
// address. Its OK button reads "OK" and its e-mail address is the same in
// every language.
std::span<const CaptionEntry> aboutBoxCaptions();

} // namespace clavora::lang
