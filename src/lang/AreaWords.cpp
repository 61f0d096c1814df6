#include "AreaWords.h"

#include <array>

namespace clavora::lang {

namespace {

using Words = std::array<const char*, 6>;

// Indexed by language - 1, then by AreaWord.
constexpr std::array<Words, kLanguageCount> kAreaWords {{
    {"Octave", "Volume", "Channel", "Voices", "Effects",
        "Press the OK Button and choose the Split Point Key (or ESC to Cancel)."},
    {"Oitava", "Volume", "Canal", "Vozes", "Efeitos",
        "Pressione o Botão OK e escolha a Tecla de Split Point (ou ESC para Cancelar)."},
    {"Octava", "Volumen", "Canal", "Voces", "Efectos",
        "Presione el botón OK y elija la Tecla de Split Point (o ESC para Cancelar)."},
}};

} // namespace

QString areaWord(int language, AreaWord word)
{
    const int row = (language >= 1 && language <= kLanguageCount) ? language - 1 : 0;
    return QString::fromUtf8(kAreaWords[static_cast<std::size_t>(row)][static_cast<std::size_t>(word)]);
}

QString valueLabel(int language, AreaWord word, int value)
{
    return areaWord(language, word) + QLatin1Char(' ') + QString::number(value);
}

} // namespace clavora::lang
