#include "KeepTexts.h"
#include "AreaWords.h"

#include <array>
#include <string_view>

namespace clavora::lang {

namespace {

using Texts = std::array<std::string_view, kLanguageCount>;

constexpr std::array<Texts, 13> kTexts {{
    {"Save Recording", "Salvar Gravação", "Guardar Grabación"},
    {"Open Setup", "Abrir Configuração", "Abrir Configuración"},
    {"Save Setup", "Salvar Configuração", "Guardar Configuración"},
    {"MIDI files (*.mid *.midi)", "Arquivos MIDI (*.mid *.midi)", "Archivos MIDI (*.mid *.midi)"},
    {"WAV files (*.wav)", "Arquivos WAV (*.wav)", "Archivos WAV (*.wav)"},
    {"Clavora setups (*.clavora)", "Configurações do Clavora (*.clavora)", "Configuraciones de Clavora (*.clavora)"},
    {"All files (*)", "Todos os arquivos (*)", "Todos los archivos (*)"},
    {"Nothing has been played yet.", "Nada foi tocado ainda.", "Todavía no se ha tocado nada."},
    {"\"%1\" could not be saved: %2.", "Não foi possível salvar \"%1\": %2.", "No se pudo guardar \"%1\": %2."},
    {"The setup \"%1\" was not opened: %2. Nothing was changed.",
        "A configuração \"%1\" não foi aberta: %2. Nada foi alterado.",
        "La configuración \"%1\" no se abrió: %2. No se cambió nada."},
    {"The setup \"%1\" was opened, but %2.", "A configuração \"%1\" foi aberta, mas %2.",
        "La configuración \"%1\" se abrió, pero %2."},
    {"Saving the recording as a WAV file...", "Salvando a gravação como arquivo WAV...",
        "Guardando la grabación como archivo WAV..."},
    {"Cancel", "Cancelar", "Cancelar"},
}};

} // namespace

QString keepText(int language, KeepText text)
{
    const int column = (language >= English && language <= kLanguageCount) ? language - 1 : 0;
    const std::string_view value = kTexts[static_cast<std::size_t>(text)][static_cast<std::size_t>(column)];
    return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
}

} // namespace clavora::lang
