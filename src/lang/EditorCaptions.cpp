#include "EditorCaptions.h"

#include "AreaWords.h"

namespace clavora::lang {

namespace {

constexpr CaptionEntry kChordKeysEditor[] = {
    {"frmChordKeys", {"Edit Keyboard Chord", "Alterar Acorde de Teclado", "Alterar Acorde de Teclado"}},
    {"ChordTypeLabel", {"Chord Type", "Tipo de Acorde", "Tipo de Acorde"}},
    {"ChordNoteLabel", {"Chord Note", "Nota do Acorde", "Nota do Acorde"}},
    {"ChordConfiguration", {"Chord Configuration", "Configuração do Acorde", "Configuración do Acorde"}},
    {"OctaveLabel", {"Octave", "Oitava", "Octava"}},
    {"NoteLabel", {"Note", "Nota", "Nota"}},
    {"FisrtNoteLabel", {"First Note", "Primeira Nota", "Primera Nota"}},
    {"SecondNoteLabel", {"Second Note", "Segunda Nota", "Segunda Nota"}},
    {"ThirdNoteLabel", {"Third Note", "Terceira Nota", "Tercera Nota"}},
    {"FourthNoteLabel", {"Fourth Note", "Quarta Nota", "Cuarta Nota"}},
    {"Modify", {"&Modify", "&Alterar", "&Alterar"}},
    {"CloseWindow", {"&Close", "&Fechar", "&Cerrar"}},
    {kChordRefused,
        {"The chord was not changed: note %1 would not sound at every chord octave (MIDI notes 0 to 127 on "
         "octaves 1 to 5).",
            "O acorde não foi alterado: a nota %1 não soaria em todas as oitavas do acorde (notas MIDI de 0 a 127 "
            "nas oitavas 1 a 5).",
            "El acorde no fue alterado: la nota %1 no sonaría en todas las octavas del acorde (notas MIDI de 0 a 127 "
            "en las octavas 1 a 5)."}},
};

constexpr CaptionEntry kChordGuitarEditor[] = {
    {"frmChordGuitar", {"Edit Guitar Chord", "Alterar Acorde de Violão", "Alterar Acorde de Guitarra"}},
    {"ChordTypeLabel", {"Chord Type", "Tipo de Acorde", "Tipo de Acorde"}},
    {"ChordNoteLabel", {"Chord Note", "Nota do Acorde", "Nota do Acorde"}},
    {"ChordConfiguration", {"Chord Configuration", "Configuração do Acorde", "Configuración do Acorde"}},
    {"StringsLabel", {"Strings", "Cordas", "Cuerdas"}},
    {"Legend", {"Legend", "Legenda", "Leyenda"}},
    {"LegendX", {"X - Don\u00b4t play String", "X - Não tocar a Corda", "X - No tocar la Cuerda"}},
    {"Legend0", {"0 - Play open String", "0 - Tocar a Corda solta", "0 - Tocar la cuerda al aire"}},
    {"Modify", {"&Modify", "&Alterar", "&Alterar"}},
    {"CloseWindow", {"&Close", "&Fechar", "&Cerrar"}},
    {kChordRefused,
        {"The chord was not changed: string %1 would not sound at every chord octave (MIDI notes 0 to 127 on "
         "octaves 1 to 5).",
            "O acorde não foi alterado: a corda %1 não soaria em todas as oitavas do acorde (notas MIDI de 0 a 127 "
            "nas oitavas 1 a 5).",
            "El acorde no fue alterado: la cuerda %1 no sonaría en todas las octavas del acorde (notas MIDI de 0 a "
            "127 en las octavas 1 a 5)."}},
};

constexpr CaptionEntry kDrumEditor[] = {
    {"frmChangeDrums", {"Modify Drum Key", "Alterar Tecla de Bateria", "Alterar Tecla de Batería"}},
    {"KeyLabel", {"Key", "Tecla", "Tecla"}},
    {"DrumConfiguration", {"Drum Configuration", "Configuração da Bateria", "Configuración de Batería"}},
    {"DrumSoundLabel", {"Drum Sound", "Som de Bateria", "Sonido de Batería"}},
    {"IntensityLabel", {"Intensity", "Intensidade", "Intensidad"}},
    {kIntensityNormal, {"Normal", "Normal", "Normal"}},
    {kIntensityHigh, {"High", "Alta", "Alta"}},
    {"Modify", {"&Modify", "&Alterar", "&Alterar"}},
    {"CloseWindow", {"&Close", "&Fechar", "&Cerrar"}},
};

// Chord type names in chord type order, as both chord editors list them.
constexpr std::array<std::array<std::string_view, 3>, 12> kChordTypeNames {{
    {"Major (Normal)", "Maior (Normal)", "Mayor (Normal)"},
    {"Minor", "Menor", "Menor"},
    {"Seventh", "Sétima", "Séptima"},
    {"Minor Seventh", "Menor com Sétima", "Menor con Séptima"},
    {"Major Seventh", "Sétima Maior", "Séptima Maior"},
    {"Suspended", "Suspenso", "Suspendido"},
    {"Augmented", "Aumentado", "Aumentado"},
    {"Diminished", "Diminuto", "Disminuído"},
    {"Ninth", "Maior com Nona", "Mayor Novena"},
    {"Minor Ninth", "Menor com Nona", "Menor Novena"},
    {"Sixth", "Maior com Sexta", "Mayor Sexta"},
    {"Minor Sixth", "Menor com Sexta", "Menor Sexta"},
}};

} // namespace

std::span<const CaptionEntry> chordKeysEditorCaptions()
{
    return kChordKeysEditor;
}

std::span<const CaptionEntry> chordGuitarEditorCaptions()
{
    return kChordGuitarEditor;
}

std::span<const CaptionEntry> drumEditorCaptions()
{
    return kDrumEditor;
}

QStringList chordTypeNames(int language)
{
    const std::size_t column = (language >= English && language <= kLanguageCount) ? std::size_t(language - 1) : 0;
    QStringList names;
    for (const auto& row : kChordTypeNames)
        names << QString::fromUtf8(row[column].data(), static_cast<qsizetype>(row[column].size()));
    return names;
}

} // namespace clavora::lang
