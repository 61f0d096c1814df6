#include "LibraryMessages.h"

#include <alsa/asoundlib.h>
#include <fluidsynth.h>
#include <jack/jack.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace clavora {

Q_LOGGING_CATEGORY(libraryMessages, "clavora.libraries", QtCriticalMsg)

namespace {

void fluidMessage(int level, const char* message, void*)
{
    switch (level) {
    case FLUID_PANIC:
        qCCritical(libraryMessages, "FluidSynth: %s", message);
        break;
    case FLUID_ERR:
        qCWarning(libraryMessages, "FluidSynth: %s", message);
        break;
    case FLUID_WARN:
        qCInfo(libraryMessages, "FluidSynth: %s", message);
        break;
    default:
        qCDebug(libraryMessages, "FluidSynth: %s", message);
        break;
    }
}

void jackError(const char* message)
{
    qCWarning(libraryMessages, "JACK: %s", message);
}

void jackInfo(const char* message)
{
    qCDebug(libraryMessages, "JACK: %s", message);
}

void alsaError(const char* file, int line, const char* function, int, const char* format, ...)
{
    if (!libraryMessages().isWarningEnabled())
        return;
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    qCWarning(libraryMessages, "ALSA: %s:%d (%s): %s", file, line, function, text);
}

} // namespace

void routeLibraryMessages()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
            fluid_set_log_function(level, &fluidMessage, nullptr);
        jack_set_error_function(&jackError);
        jack_set_info_function(&jackInfo);
        snd_lib_error_set_handler(&alsaError);
    });
}

} // namespace clavora
