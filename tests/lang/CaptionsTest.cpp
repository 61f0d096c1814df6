#include "lang/AreaWords.h"
#include "lang/Captions.h"
#include "lang/HelpPages.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using namespace clavora::lang;

QString mainCaption(int language, const char* name)
{
    return caption(language, name);
}

TEST(Captions, MainWindowSamples)
{
    EXPECT_EQ(mainCaption(Spanish, "View"), QStringLiteral("&Ver"));
    EXPECT_EQ(mainCaption(Portuguese, "View"), QStringLiteral("E&xibir"));
    EXPECT_EQ(mainCaption(Portuguese, "PlayDrums"), QStringLiteral(" Somente Bateria"));
    EXPECT_EQ(mainCaption(Spanish, "PlayDrums"), QStringLiteral(" Solamente Batería"));
    EXPECT_EQ(mainCaption(English, "PlayDrums"), QStringLiteral("Play Drums only"));
    EXPECT_EQ(mainCaption(English, "mnuAbout"), QStringLiteral("&About Clavora..."));
    EXPECT_EQ(mainCaption(Spanish, "mnuAbout"), QStringLiteral("A&cerca de Clavora..."));
    EXPECT_EQ(mainCaption(Portuguese, "mnuMIDI"), QStringLiteral("Dispositivo &MIDI de Saída..."));
    EXPECT_EQ(mainCaption(Portuguese, "mnuOptions"), QStringLiteral("&Opções"));
    EXPECT_EQ(mainCaption(Spanish, "ExitProgram"), QStringLiteral("Salir"));
    EXPECT_EQ(mainCaption(Portuguese, "ChordsGuitar"), QStringLiteral(" Tocar Acordes como um Violão"));
    EXPECT_EQ(mainCaption(Spanish, "frmPiano"), QStringLiteral("Clavora 2.6"));
}

TEST(Captions, LanguagesOutsideTheThreeAndUnknownNamesGiveNull)
{
    EXPECT_TRUE(mainCaption(0, "View").isNull());
    EXPECT_TRUE(mainCaption(4, "View").isNull());
    EXPECT_TRUE(mainCaption(-1, "View").isNull());
    EXPECT_TRUE(mainCaption(English, "NoSuchControl").isNull());
    EXPECT_FALSE(mainCaption(English, "View").isNull());
}

TEST(Captions, DialogTexts)
{
    EXPECT_EQ(caption(languageDialogCaptions(), Portuguese, "frmLanguage"), QStringLiteral("Seleção de Idioma"));
    EXPECT_EQ(caption(languageDialogCaptions(), English, "Automatic"), QStringLiteral(" (Automatic)"));
    EXPECT_EQ(caption(languageDialogCaptions(), Spanish, "Spanish"), QStringLiteral(" Español"));
    EXPECT_TRUE(caption(languageDialogCaptions(), Spanish, "Note").startsWith(QStringLiteral("Nota:  Los ")));
    EXPECT_EQ(caption(midiDialogCaptions(), Portuguese, kMidiDefaultEntry), QStringLiteral("(Padrão)"));
    EXPECT_EQ(caption(midiDialogCaptions(), Spanish, kMidiDefaultEntry), QStringLiteral("(Estándar)"));
    EXPECT_EQ(caption(midiDialogCaptions(), Spanish, "lblMIDIOut"), QStringLiteral("Dispositivo MIDI de Salida:"));
    EXPECT_EQ(caption(helpWindowCaptions(), Spanish, "frmHelp"), QStringLiteral("Ayuda"));
    EXPECT_EQ(caption(helpWindowCaptions(), Spanish, "CapsLockKey"), QStringLiteral("Tipo Séptima Maior"));
}

TEST(Captions, EveryTableHasUniqueNamesAndThreeTexts)
{
    for (auto table : {mainWindowCaptions(), languageDialogCaptions(), midiDialogCaptions(), helpWindowCaptions()}) {
        std::set<std::string_view> names;
        for (const CaptionEntry& entry : table) {
            EXPECT_TRUE(names.insert(entry.objectName).second) << entry.objectName;
            for (int language = English; language <= kLanguageCount; ++language)
                EXPECT_FALSE(captionText(entry, language).isEmpty()) << entry.objectName << " " << language;
        }
    }
}

// The help texts and the help pages must name the same controls: every
// description and frame has texts, and a key label has them exactly when
// it has no text of its own.
TEST(Captions, HelpTextsMatchHelpPages)
{
    const auto table = helpWindowCaptions();
    auto hasTexts = [&](std::string_view name) { return !caption(table, English, name).isNull(); };
    std::set<std::string_view> named{"frmHelp", "Note", "NoteKeys"};
    for (const HelpPage& page : helpPages()) {
        EXPECT_TRUE(hasTexts(page.button)) << page.button;
        named.insert(page.button);
        for (const HelpGroup& group : page.groups) {
            EXPECT_TRUE(hasTexts(group.frame)) << group.frame;
            named.insert(group.frame);
            for (const HelpRow& row : group.rows) {
                EXPECT_TRUE(hasTexts(row.description)) << row.description;
                EXPECT_EQ(hasTexts(row.keyLabel), row.keyText.empty()) << row.keyLabel;
                named.insert(row.description);
                named.insert(row.keyLabel);
            }
        }
    }
    for (const CaptionEntry& entry : table)
        EXPECT_TRUE(named.contains(entry.objectName)) << entry.objectName << " is on no page";
}

TEST(Captions, SpanishVolumeLabelsReadVolumen)
{
    EXPECT_EQ(valueLabel(Spanish, AreaWord::Volume, 100), QStringLiteral("Volumen 100"));
    EXPECT_EQ(valueLabel(Portuguese, AreaWord::Volume, 100), QStringLiteral("Volume 100"));
    EXPECT_EQ(valueLabel(English, AreaWord::Volume, 0), QStringLiteral("Volume 0"));
}

} // namespace
