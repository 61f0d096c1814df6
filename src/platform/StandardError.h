#pragma once
// The standard error stream, which the program's own messages share with the
// audio and MIDI libraries: those print their complaints there directly when
// no hardware is present.
#include <string_view>

class QString;

namespace clavora {

// While any is alive, whatever is written to the standard error stream (file
// descriptor 2) is discarded. Silences may overlap, also across threads: the
// stream comes back when the last one ends.
class StderrSilence {
public:
    StderrSilence();
    ~StderrSilence();
    StderrSilence(const StderrSilence&) = delete;
    StderrSilence& operator=(const StderrSilence&) = delete;
};

// Writes one of the program's own messages where the standard error stream
// leads, also while the libraries are silenced.
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
