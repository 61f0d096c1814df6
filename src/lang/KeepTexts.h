#pragma once
// Texts of the commands that keep what is played: saving the take, opening
// and saving setups.
#include <QString>

namespace clavora::lang {

enum class KeepText : int {
    SaveRecordingTitle,
    OpenSetupTitle,
    SaveSetupTitle,
    MidiFiles,
    WaveFiles,
    SetupFiles,
    AllFiles,
    // The take holds no note yet.
    NothingPlayed,
    // %1 the file, %2 the reason.
    NotSaved,
    // %1 the file, %2 the first problem.
    SetupRefused,
    // %1 the file, %2 what could not be applied.
    SetupPartly,
    // Over the window while a take is made into a WAV file.
    Rendering,
    Cancel,
};

// The text in a language (1..3); languages outside that range read English.
QString keepText(int language, KeepText text);

} // namespace clavora::lang
