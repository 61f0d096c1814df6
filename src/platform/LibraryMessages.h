#pragma once
// What the audio and MIDI libraries have to say (FluidSynth, JACK, ALSA),
// taken through their own message hooks instead of their default printing.
#include <QLoggingCategory>

namespace clavora {

// The libraries' messages, as Qt messages of this category: a FluidSynth
// panic as critical, errors as warnings, the rest as information or debug.
// Only critical messages are shown unless the user asks for more, e.g. with
// QT_LOGGING_RULES="clavora.libraries.warning=true": most of what the
// libraries say is expected here (an output that cannot open while the
// best one is looked for, no JACK server to connect to).
Q_DECLARE_LOGGING_CATEGORY(libraryMessages)

// Installs the hooks, once for the whole process; later calls do nothing.
// Called by every part that opens one of those libraries.
void routeLibraryMessages();

} // namespace clavora
