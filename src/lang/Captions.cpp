#include "Captions.h"

#include "AreaWords.h"

#include <algorithm>

namespace clavora::lang {

namespace {

constexpr CaptionEntry kMainWindow[] = {
    {"frmPiano", {"Clavora 2.6", "Clavora 2.6", "Clavora 2.6"}},
    {"mnuProgram", {"&Program", "&Programa", "&Programa"}},
    {"mnuSilence", {"&Silence All Notes", "&Silenciar todas as Notas", "&Silenciar todas las Notas"}},
    {"mnuSaveRecording", {"Save &Recording...", "Salvar &Gravação...", "Guardar &Grabación..."}},
    {"mnuNewRecording", {"&New Recording", "&Nova Gravação", "&Nueva Grabación"}},
    {"mnuOpenSetup", {"&Open Setup...", "&Abrir Configuração...", "&Abrir Configuración..."}},
    {"mnuSaveSetup", {"Save Set&up...", "Salvar &Configuração...", "Guardar &Configuración..."}},
    {"mnuMIDI", {"&MIDI Out Device...", "Dispositivo &MIDI de Saída...", "Dispositivo &MIDI de Salida..."}},
    {"mnuMIDIIn", {"MIDI &In Device...", "Dispositivo MIDI de &Entrada...", "Dispositivo MIDI de &Entrada..."}},
    {"mnuExit", {"E&xit", "Sai&r", "Sai&r"}},
    {"View", {"&View", "E&xibir", "&Ver"}},
    {"ShowMainPanel", {"Show &Main Panel", "Mostrar Painel &Principal", "Mostrar Painel &Principal"}},
    {"ShowToolbar", {"Show &Toolbar", "Mostrar Barra de &Ferramentas", "Mostrar Barra de &Herramientas"}},
    {"mnuOptions", {"&Options", "&Opções", "&Opciones"}},
    {"mnuLanguage", {"&Language...", "&Idioma...", "&Idioma..."}},
    {"mnuHelp", {"&Help", "&Ajuda", "&Ayuda"}},
    {"mnuShowHelp", {"&Help...", "&Ajuda...", "&Ayuda..."}},
    {"mnuAbout", {"&About Clavora...", "&Sobre o Clavora...", "A&cerca de Clavora..."}},
    {"Help", {"Help", "Ajuda", "Ayuda"}},
    {"Silence", {"Silence", "Silenciar", "Silenciar"}},
    {"Language", {"Language", "Idioma", "Idioma"}},
    {"ExitProgram", {"Exit", "Sair", "Salir"}},
    {"PlayDrums", {"Play Drums only", " Somente Bateria", " Solamente Batería"}},
    {"MainSettings", {"Main Settings", "Definições Principais", "Ajustes Principales"}},
    {"ChordSettings", {"Chord Settings", "Definições dos Acordes", "Ajustes de los Acordes"}},
    {"Chords1Key", {" Play 1 Note", " Tocar 1 Nota", " Tocar 1 Nota"}},
    {"Chords3Keys", {" Play Chords using 3 Notes", " Tocar Acordes usando 3 Notas", " Tocar Acordes usando 3 Notas"}},
    {"ChordsGuitar",
        {" Play Chords like a Guitar", " Tocar Acordes como um Violão", " Tocar Acordes como una Guitarra"}},
};

constexpr CaptionEntry kLanguageDialog[] = {
    {"frmLanguage", {"Select language", "Seleção de Idioma", "Selección de Idioma"}},
    {"LanguageSelect", {"Language select", "Seleção de Idioma", "Selección de Idioma"}},
    {"Automatic", {" (Automatic)", " (Automático)", " (Automático)"}},
    {"English", {" English", " Inglês", " Inglés"}},
    {"Portuguese", {" Portuguese", " Português", " Portugués"}},
    {"Spanish", {" Spanish", " Espanhol", " Español"}},
    {"Cancel", {"Cancel", "Cancelar", "Cancelar"}},
    {"Note",
        {"Note : The names of the Musical Instruments and Drums will always follow the General MIDI specification.",
            "Observação : Os nomes dos Instrumentos Musicais e Bateria seguirão sempre a especificação da General MIDI "
            "(em Inglês).",
            "Nota:  Los nombres de los Instrumentos Musicales y Batería seguirán siempre la especificación General "
            "MIDI "
            "(en Inglés)."}},
};

constexpr CaptionEntry kMidiDialog[] = {
    {"frmMIDI", {"MIDI Out Device", "Dispositivo MIDI de Saída", "Dispositivo MIDI de Salida"}},
    {"lblMIDIOut", {"MIDI Out Device:", "Dispositivo MIDI de Saída:", "Dispositivo MIDI de Salida:"}},
    {"Cancel", {"Cancel", "Cancelar", "Cancelar"}},
    {kMidiDefaultEntry, {"(Default)", "(Padrão)", "(Estándar)"}},
};

constexpr CaptionEntry kMidiInDialog[] = {
    {"frmMIDIIn", {"MIDI In Device", "Dispositivo MIDI de Entrada", "Dispositivo MIDI de Entrada"}},
    {"lblMIDIIn", {"MIDI In Device:", "Dispositivo MIDI de Entrada:", "Dispositivo MIDI de Entrada:"}},
    {"Cancel", {"Cancel", "Cancelar", "Cancelar"}},
    {kMidiNoneEntry, {"None", "Nenhum", "Ninguno"}},
    {kMidiInOpenFailed,
        {"Unable to open the selected MIDI In Device.",
            "Não foi possível abrir o Dispositivo MIDI de Entrada escolhido.",
            "No se pudo abrir el Dispositivo MIDI de Entrada elegido."}},
};

constexpr CaptionEntry kAboutBox[] = {
    {"frmAbout", {"About Clavora 2.6", "Sobre o Clavora 2.6", "Acerca de Clavora 2.6"}},
    {"ProgramTitle", {"Clavora 2.6", "Clavora 2.6", "Clavora 2.6"}},
    {"Freeware",
        {"Freeware: share it with your friends.", "Freeware: compartilhe com os seus amigos.",
            "Freeware: compártalo con sus amigos."}},
    {"Author", {"Created by ", "Desenvolvido por ", "Creado por "}},
    {"Website", {"https://clavora.example/en/", "https://clavora.example/pt/", "https://clavora.example/es/"}},
};

constexpr CaptionEntry kHelpWindow[] = {
    {"frmHelp", {"Help", "Ajuda", "Ayuda"}},
    {"Notes", {"&Notes", "&Notas", "&Notas"}},
    {"Chords", {"&Chords", "&Acordes", "&Acordes"}},
    {"ChordTypes", {"&Types", "&Tipos", "&Tipos"}},
    {"Drums", {"&Drums", "&Bateria", "&Batería"}},
    {"Note",
        {"The names of the Musical Instruments and Drums will always follow the General MIDI specification",
            "Os nomes dos Instrumentos Musicais e Bateria seguirão sempre a especificação da General MIDI (em Inglês)",
            "Los nombres de los Instrumentos Musicales y Batería seguirán siempre la especificación General MIDI "
            "(en Inglés)"}},
    {"NoteKeys",
        {"Note : The position of the Keys will follow the US-International Keyboard Layout",
            "A posição das teclas seguirá o Layout de Teclado 'US Internacional'",
            "Nota : La posición de las teclas seguirá el Layout 'US Internacional'"}},

    // Notes page.
    {"PlayNotes", {"Play Notes", "Tocar Notas Musicais", "Tocar Notas Musicales"}},
    {"FirstOctaveKeys", {"First Octave Keys", "Teclas da Primeira Oitava", "Teclas de la Primera Octava"}},
    {"SecondOctaveKeys", {"Second Octave Keys", "Teclas da Segunda Oitava", "Teclas de la Segunda Octava"}},
    {"ThirdOctaveKeys", {"Third Octave Keys", "Teclas da Terceira Oitava", "Teclas de la Tercera Octava"}},
    {"Options", {"Options", "Opções", "Opciones"}},
    {"F1", {"Show this Help Screen", "Mostrar esta tela de Ajuda", "Mostrar esta pantalla de Ayuda"}},
    {"ShiftF1", {"Change Language", "Selecionar o Idioma", "Seleccionar o Idioma"}},
    {"Esc", {"Silence all Notes", "Silenciar todas as Notas", "Silenciar todas las Notas"}},
    {"MainAreaSettings", {"Main Area Settings", "Configurações da Área Principal", "Ajustes de la Área Principal"}},
    {"LeftRightLabel", {"Left Arrow / Right Arrow", "Seta para Esquerda / Direita", "Tecla Izquierda / Derecha"}},
    {"LeftRight", {"Select Instrument", "Seleciona o Instrumento Musical", "Seleccionar Instrumento Musical"}},
    {"UpDownLabel", {"Up Arrow / Down Arrow", "Seta para Cima / para Baixo", "Tecla Arriba / Abajo"}},
    {"UpDown", {"Select Octave", "Seleciona a Oitava", "Seleccionar Octava"}},
    {"ShiftF5ShiftF6", {"Set Volume", "Define o Volume", "Seleccionar Volumen"}},
    {"F5F6", {"Select Channel", "Seleciona o Canal", "Seleccionar Canal"}},
    {"F7F8", {"Set number of Voices", "Define o número de Vozes", "Seleccionar el número de Voces"}},
    {"CtrlShiftF8", {"Reset Main Settings", "Redefinir Configurações Principais", "Restablecer Ajustes Principales"}},

    // Chords page.
    {"PlayChords", {"Play Chords", "Tocar Acordes", "Tocar Acordes"}},
    {"ChordKeys", {"Chord Keys", "Teclas dos Acordes", "Teclas de los Acordes"}},
    {"F2", {"Play one Note", "Tocar uma Nota", "Tocar una Nota"}},
    {"ShiftF2", {"Set Split Point", "Definir Tecla de Split Point", "Seleccionar Tecla de Split Point"}},
    {"F3",
        {"Play Chords like a Keyboard (3 Notes)", "Tocar Acordes como um Teclado (3 Notas)",
            "Tocar Acordes como un Teclado (3 Notas)"}},
    {"F4", {"Play Chords like a Guitar", "Tocar Acordes como um Violão", "Tocar Acordes como una Guitarra"}},
    {"ChordAreaSettings", {"Chord Area Settings", "Configurações da Área de Acordes", "Ajustes de la Área de Acordes"}},
    {"CtrlLeftCtrlRightLabel",
        {"Ctrl+Left/Ctrl+Right", "Ctrl+Esquerda / Ctrl+Direita", "Ctrl+Izquierda / Ctrl+Derecha"}},
    {"CtrlLeftCtrlRight", {"Select Instrument", "Seleciona o Instrumento Musical", "Seleccionar Instrumento Musical"}},
    {"CtrlUpCtrlDownLabel", {"Ctrl+Up / Ctrl+Down", "Ctrl+Cima / Ctrl+Baixo", "Ctrl+Arriba / Ctrl+Abajo"}},
    {"CtrlUpCtrlDown", {"Select Octave", "Seleciona a Oitava", "Seleccionar Octava"}},
    {"ShiftF9ShiftF10", {"Set Volume", "Define o Volume", "Seleccionar Volumen"}},
    {"F9F10", {"Select Channel", "Seleciona o Canal", "Seleccionar Canal"}},
    {"F11F12", {"Set number of Voices", "Define o número de Vozes", "Seleccionar el número de Voces"}},
    {"ShiftF3",
        {"Play the same as Main Area", "Usar mesma configuração da Área Principal",
            "Copiar Configuraciones de la Área Principal"}},
    {"CtrlShiftF12", {"Reset Chord Settings", "Redefinir Configurações dos Acordes", "Restablecer Ajustes de Acordes"}},

    // Chord types page.
    {"ChordType", {"Chord Types", "Tipos de Acordes", "Tipos de Acordes"}},
    {"HoldNoKeyLabel", {"(hold no special key)", "(nenhuma tecla especial)", "(ninguna tecla especial)"}},
    {"HoldNoKey", {"Play Major (Normal) Chords", "Acordes do Tipo Maior (Normal)", "Acordes Tipo Mayor (Normal)"}},
    {"ShiftKey", {"Play Minor Chords", "Acordes do Tipo Menor", "Acordes Tipo Menor"}},
    {"ControlKey", {"Play Seventh Chords", "Acordes do Tipo Sétima", "Acordes Tipo Séptima"}},
    {"ShiftControlKey",
        {"Play Minor Seventh Chords", "Acordes do Tipo Menor com Sétima", "Acordes Tipo Menor con Séptima"}},
    {"CapsLockKey", {"Play Major Seventh Chords", "Tipo Sétima Maior", "Tipo Séptima Maior"}},
    {"CapsLockShiftKey", {"Play Suspended Chords", "Tipo Suspenso", "Tipo Suspendido"}},
    {"CapsLockControlKey", {"Play Augmented Chords", "Tipo Aumentado", "Tipo Aumentado"}},
    {"CapsLockShiftControlKey", {"Play Diminished Chords", "Tipo Diminuto", "Tipo Disminuído"}},
    {"SpacebarKeyLabel", {"Space bar", "Barra de Espaço", "Barra Espaciadora"}},
    {"SpacebarKey", {"Play Ninth Chords", "Tipo Maior com Nona", "Tipo Mayor Novena"}},
    {"SpacebarShiftKeyLabel", {"Space bar + Shift", "Barra de Espaço + Shift", "Barra Espaciadora + Shift"}},
    {"SpacebarShiftKey", {"Play Minor Ninth Chords", "Tipo Menor com Nona", "Tipo Menor Novena"}},
    {"SpacebarControlKeyLabel", {"Space bar + Control", "Barra de Espaço + Control", "Barra Espaciadora + Control"}},
    {"SpaceBarControlKey", {"Play Sixth Chords", "Tipo Maior com Sexta", "Tipo Mayor Sexta"}},
    {"SpacebarShiftControlKeyLabel",
        {"Space bar + Shift + Control", "Barra de Espaço + Shift + Control", "Barra Espaciadora + Shift + Control"}},
    {"SpacebarShiftControlKey", {"Play Minor Sixth Chords", "Tipo Menor com Sexta", "Tipo Menor Sexta"}},
    {"ChordConfiguration", {"Chord Configuration", "Configuração do Acorde", "Configuración do Acorde"}},
    {"ShiftF12", {"Edit Chord", "Alterar Acorde", "Alterar Acorde"}},

    // Drums page.
    {"DrumsSettings", {"Drums Settings", "Opções de Bateria", "Opciones de Batería"}},
    {"ShiftF4Drums",
        {"Activate/Deactivate Drums Mode", "Ativar/Desativar Modo de Bateria", "Activar/Desactivar Modo de Batería"}},
    {"DrumConfiguration",
        {"Drum Configuration (last Key pressed)", "Configuração de Bateria (última Tecla pressionada)",
            "Configuración de Batería (última Tecla pulsada)"}},
    {"LeftRightLabelDrum", {"Left Arrow / Right Arrow", "Seta para Esq. / Direita", "Tecla Izquierda / Derecha"}},
    {"LeftRightDrum", {"Select Drum Sound", "Selecionar Som de Bateria", "Seleccionar Sonido de Batería"}},
    {"NumberLabel", {"00 to 46", "00 a 46", "00 a 46"}},
    {"Number",
        {"Select Drum Sound (by Number)", "Selecionar Som de Bateria (por Número)",
            "Seleccionar Sonido de Batería (por Número)"}},
    {"UpLabelDrum", {"Up Arrow", "Seta para Cima", "Tecla Arriba"}},
    {"UpDrum", {"High Intensity", "Intensidade Alta", "Intensidad Alta"}},
    {"DownLabelDrum", {"Down Arrow", "Seta para Baixo", "Tecla Abajo"}},
    {"DownDrum", {"Normal Intensity", "Intensidade Normal", "Intensidad Normal"}},
    {"F12Drum", {"Modify Drum Key", "Alterar Tecla de Bateria", "Alterar Tecla de Batería"}},
    {"DrumOptions", {"Options", "Opções", "Opciones"}},
    {"F5F6Drum", {"Set Volume", "Definir Volume", "Seleccionar Volumen"}},
    {"CtrlShiftF12Drum",
        {"Reset Drum Settings", "Redefinir Configurações de Bateria", "Restablecer Ajustes de Batería"}},
};

} // namespace

QString captionText(const CaptionEntry& entry, int language)
{
    if (language < English || language > kLanguageCount)
        return {};
    const std::string_view text = entry.texts[static_cast<std::size_t>(language - 1)];
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString caption(std::span<const CaptionEntry> table, int language, std::string_view objectName)
{
    const auto entry = std::find_if(
        table.begin(), table.end(), [objectName](const CaptionEntry& e) { return e.objectName == objectName; });
    return entry != table.end() ? captionText(*entry, language) : QString();
}

std::span<const CaptionEntry> mainWindowCaptions()
{
    return kMainWindow;
}

QString caption(int language, std::string_view objectName)
{
    return caption(mainWindowCaptions(), language, objectName);
}

std::span<const CaptionEntry> languageDialogCaptions()
{
    return kLanguageDialog;
}

std::span<const CaptionEntry> midiDialogCaptions()
{
    return kMidiDialog;
}

std::span<const CaptionEntry> midiInDialogCaptions()
{
    return kMidiInDialog;
}

std::span<const CaptionEntry> helpWindowCaptions()
{
    return kHelpWindow;
}

std::span<const CaptionEntry> aboutBoxCaptions()
{
    return kAboutBox;
}

} // namespace clavora::lang
