#pragma once
// What a take is saved as, told by the file name.
#include <QString>

#include <optional>

namespace clavora {

enum class TakeFormat { MidiFile, Wave };

// By the name's suffix, in any case: .mid or .midi, .wav; nothing for others.
std::optional<TakeFormat> takeFormatOf(const QString& path);

} // namespace clavora
