#pragma once
// The standard error stream, where the program's own messages go (the audio
// and MIDI libraries' come through their hooks: see LibraryMessages.h).
#include <string_view>

class QString;

namespace clavora {

// Writes one of the program's own messages on the standard error stream, in
// one piece, whichever thread writes.
void writeToStandardError(std::string_view text);
// The same for text in Qt's strings, in the locale's encoding.
void writeToStandardError(const QString& text);
inline void writeToStandardError(const char* text)
{
    writeToStandardError(std::string_view(text));
}

// Qt's warnings and errors, a fatal one included, are written the same way.
// The synthesizer opens while the window is built, and what Qt has to say
// then (that there is no display to show it on, say) must not be lost.
void routeQtMessagesToStandardError();

} // namespace clavora
