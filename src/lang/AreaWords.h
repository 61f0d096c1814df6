#pragma once
#include <QString>

namespace clavora::lang {

// Languages are numbered as the user sees them in the language dialog.
enum Language : int { English = 1, Portuguese = 2, Spanish = 3 };
constexpr int kLanguageCount = 3;

// Words of the value labels and the split-point prompt.
enum class AreaWord : int { Octave = 0, Volume = 1, Channel = 2, Voices = 3, Effects = 4, SplitPrompt = 5 };

// The word for a language (1..3); languages outside that range read English.
QString areaWord(int language, AreaWord word);

// "Octave 3", "Volumen 100": the word, one blank and the value.
QString valueLabel(int language, AreaWord word, int value);

} // namespace clavora::lang
