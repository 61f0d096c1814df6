#include "lang/AreaWords.h"
#include "lang/Captions.h"
#include "lang/HelpWindow.h"
#include "LayoutChecks.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using clavora::lang::English;
using clavora::lang::HelpWindow;
using clavora::lang::Portuguese;
using clavora::lang::Spanish;

namespace {

const char* const kButtons[] = {"Notes", "Chords", "ChordTypes", "Drums"};
const char* const kPanels[] = {"NotesPanel", "ChordsPanel", "ChordTypesPanel", "DrumsPanel"};

template <typename W>
W* child(QWidget& parent, const char* name)
{
    auto* found = parent.findChild<W*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

QString labelText(QWidget& window, const char* name)
{
    return child<QLabel>(window, name)->text();
}

// Exactly the given page's panel is visible and its button alone is bold.
bool onlyPageShown(QWidget& window, int page)
{
    for (int i = 0; i < 4; ++i) {
        const bool own = i == page;
        if (child<QWidget>(window, kPanels[i])->isVisible() != own)
            return false;
        if (child<QPushButton>(window, kButtons[i])->font().bold() != own)
            return false;
    }
    return true;
}

} // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT

private slots:
    void opensOnTheNotesPage()
    {
        HelpWindow help(English);
        help.show();
        QCOMPARE(help.objectName(), QStringLiteral("frmHelp"));
        QVERIFY(onlyPageShown(help, 0));
        QCOMPARE(help.currentPage(), int{HelpWindow::NotesPage});
    }

    void pageButtonsShowTheirPages()
    {
        HelpWindow help(English);
        help.show();
        for (int page : {1, 2, 3, 0, 3, 2}) {
            QTest::mouseClick(child<QPushButton>(help, kButtons[page]), Qt::LeftButton);
            QVERIFY2(onlyPageShown(help, page), kPanels[page]);
            QCOMPARE(help.currentPage(), page);
        }
    }

    void everyOpeningStartsOnTheNotesPage()
    {
        HelpWindow help(Spanish);
        help.show();
        QTest::mouseClick(child<QPushButton>(help, "Drums"), Qt::LeftButton);
        QVERIFY(onlyPageShown(help, 3));
        QTest::mouseClick(child<QPushButton>(help, "OK"), Qt::LeftButton);
        QVERIFY(!help.isVisible());
        QCOMPARE(help.result(), int{QDialog::Accepted});
        help.show();
        QVERIFY(onlyPageShown(help, 0));

        HelpWindow again(Spanish);
        again.show();
        QVERIFY(onlyPageShown(again, 0));
    }

    void englishTexts()
    {
        HelpWindow help(English);
        QCOMPARE(help.windowTitle(), QStringLiteral("Help"));
        QCOMPARE(child<QPushButton>(help, "ChordTypes")->text(), QStringLiteral("&Types"));
        QCOMPARE(child<QGroupBox>(help, "DrumConfiguration")->title(),
                 QStringLiteral("Drum Configuration (last Key pressed)"));
        QCOMPARE(labelText(help, "CtrlLeftCtrlRightLabel"), QStringLiteral("Ctrl+Left/Ctrl+Right"));
        QCOMPARE(labelText(help, "ShiftF3"), QStringLiteral("Play the same as Main Area"));
        QCOMPARE(labelText(help, "NumberLabel"), QStringLiteral("00 to 46"));
        QCOMPARE(labelText(help, "ContolKeyLabel"), QStringLiteral("Control"));
    }

    void portugueseTexts()
    {
        HelpWindow help(Portuguese);
        QCOMPARE(help.windowTitle(), QStringLiteral("Ajuda"));
        QCOMPARE(child<QPushButton>(help, "Notes")->text(), QStringLiteral("&Notas"));
        QCOMPARE(child<QPushButton>(help, "Chords")->text(), QStringLiteral("&Acordes"));
        QCOMPARE(child<QPushButton>(help, "ChordTypes")->text(), QStringLiteral("&Tipos"));
        QCOMPARE(child<QPushButton>(help, "Drums")->text(), QStringLiteral("&Bateria"));
        QCOMPARE(child<QPushButton>(help, "OK")->text(), QStringLiteral("OK"));
        QCOMPARE(labelText(help, "NumberLabel"), QStringLiteral("00 a 46"));
        QCOMPARE(child<QGroupBox>(help, "Options")->title(), QStringLiteral("Opções"));
        QCOMPARE(child<QGroupBox>(help, "DrumConfiguration")->title(),
                 QStringLiteral("Configuração de Bateria (última Tecla pressionada)"));
        QCOMPARE(labelText(help, "F7F8"), QStringLiteral("Define o número de Vozes"));
        QCOMPARE(labelText(help, "SpacebarShiftControlKeyLabel"), QStringLiteral("Barra de Espaço + Shift + Control"));
        QCOMPARE(labelText(help, "LeftRightLabelDrum"), QStringLiteral("Seta para Esq. / Direita"));
        QCOMPARE(labelText(help, "HoldNoKeyLabel"), QStringLiteral("(nenhuma tecla especial)"));
        QCOMPARE(labelText(help, "NoteKeys"), QStringLiteral("A posição das teclas seguirá o Layout de Teclado 'US Internacional'"));

        help.show();
        QTest::mouseClick(child<QPushButton>(help, "Drums"), Qt::LeftButton);
        QVERIFY(child<QLabel>(help, "NumberLabel")->isVisible());
    }

    void spanishTexts()
    {
        HelpWindow help(Spanish);
        QCOMPARE(help.windowTitle(), QStringLiteral("Ayuda"));
        QCOMPARE(child<QPushButton>(help, "Drums")->text(), QStringLiteral("&Batería"));
        QCOMPARE(labelText(help, "ShiftF1"), QStringLiteral("Seleccionar o Idioma"));
        QCOMPARE(labelText(help, "UpLabelDrum"), QStringLiteral("Tecla Arriba"));
        QCOMPARE(labelText(help, "CapsLockShiftControlKey"), QStringLiteral("Tipo Disminuído"));
    }

    void fixedKeyLabelsReadTheSameInEveryLanguage()
    {
        const char* const fixed[] = {"CtrlShiftF8Label", "F9F10Label", "FirstOctaveKeysLabel",
                                     "SecondOctaveKeysLabel", "ThirdOctaveKeysLabel", "ChordKeysLabel",
                                     "ShiftKeyLabel", "CapsShiftControlKeyLabel", "F12LabelDrum"};
        HelpWindow english(English);
        HelpWindow portuguese(Portuguese);
        HelpWindow spanish(Spanish);
        for (const char* name : fixed) {
            QVERIFY2(!labelText(english, name).isEmpty(), name);
            QCOMPARE(labelText(portuguese, name), labelText(english, name));
            QCOMPARE(labelText(spanish, name), labelText(english, name));
        }
        QCOMPARE(labelText(english, "CtrlShiftF8Label"), QStringLiteral("Ctrl+Shift+F8"));
        QCOMPARE(labelText(english, "F9F10Label"), QStringLiteral("F9 / F10"));
        QCOMPARE(labelText(english, "FirstOctaveKeysLabel"), QStringLiteral(",  L  .  ;  /  Q  2  W  3  E  4  R"));
    }

    void unknownLanguageKeepsTheEnglishDesignTexts()
    {
        HelpWindow help(0);
        QCOMPARE(help.windowTitle(), QStringLiteral("Help"));
        QCOMPARE(child<QPushButton>(help, "Drums")->text(), QStringLiteral("&Drums"));
        QCOMPARE(labelText(help, "NumberLabel"), QStringLiteral("00 to 46"));
    }

    void everyTextHasAControl()
    {
        HelpWindow help(English);
        for (const clavora::lang::CaptionEntry& entry : clavora::lang::helpWindowCaptions()) {
            const QString name = QString::fromLatin1(entry.objectName.data(), qsizetype(entry.objectName.size()));
            if (name == help.objectName())
                continue;
            QVERIFY2(help.findChild<QWidget*>(name), qPrintable(name));
        }
    }

    void nothingIsCutOff_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("page");
        for (int language : {int{English}, int{Portuguese}, int{Spanish}})
            for (int page = 0; page < 4; ++page)
                QTest::addRow("language %d page %s", language, kPanels[page]) << language << page;
    }
    void nothingIsCutOff()
    {
        QFETCH(int, language);
        QFETCH(int, page);
        HelpWindow help(language);
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QTest::mouseClick(child<QPushButton>(help, kButtons[page]), Qt::LeftButton);
        clavora::test::verifyNothingCut(help);
    }
};

QTEST_MAIN(HelpWindowTest)
#include "HelpWindowTest.moc"
