#include "FakePlatform.h"
#include "lang/AreaWords.h"
#include "lang/LanguageDialog.h"
#include "LayoutChecks.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using clavora::lang::English;
using clavora::lang::LanguageDialog;
using clavora::lang::Portuguese;
using clavora::lang::Spanish;

class LanguageDialogTest : public QObject {
    Q_OBJECT

private:
    static QRadioButton* option(LanguageDialog& dialog, const char* name)
    {
        auto* found = dialog.findChild<QRadioButton*>(QLatin1String(name));
        if (!found)
            qFatal("no option %s", name);
        return found;
    }
    static QPushButton* button(LanguageDialog& dialog, const char* name)
    {
        auto* found = dialog.findChild<QPushButton*>(QLatin1String(name));
        if (!found)
            qFatal("no button %s", name);
        return found;
    }

private slots:
    void loadSelectsTheCurrentLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("checked");
        QTest::newRow("English") << int{English} << "English";
        QTest::newRow("Portuguese") << int{Portuguese} << "Portuguese";
        QTest::newRow("Spanish") << int{Spanish} << "Spanish";
    }
    void loadSelectsTheCurrentLanguage()
    {
        QFETCH(int, language);
        QFETCH(QString, checked);
        clavora::test::FakePlatform platform;
        LanguageDialog dialog(language, platform);
        for (const char* name : {"Automatic", "English", "Portuguese", "Spanish"})
            QCOMPARE(option(dialog, name)->isChecked(), checked == QLatin1String(name));
    }

    void captionsFollowTheLanguage()
    {
        clavora::test::FakePlatform platform;
        int language = Portuguese;
        LanguageDialog portuguese(language, platform);
        QCOMPARE(portuguese.objectName(), QStringLiteral("frmLanguage"));
        QCOMPARE(portuguese.windowTitle(), QStringLiteral("Seleção de Idioma"));
        QCOMPARE(portuguese.findChild<QGroupBox*>("LanguageSelect")->title(), QStringLiteral("Seleção de Idioma"));
        QCOMPARE(option(portuguese, "Automatic")->text(), QStringLiteral(" (Automático)"));
        QCOMPARE(option(portuguese, "English")->text(), QStringLiteral(" Inglês"));
        QCOMPARE(button(portuguese, "OK")->text(), QStringLiteral("OK"));
        QCOMPARE(button(portuguese, "Cancel")->text(), QStringLiteral("Cancelar"));
        QVERIFY(portuguese.findChild<QLabel*>("Note")->text().startsWith(QStringLiteral("Observação : ")));

        language = Spanish;
        LanguageDialog spanish(language, platform);
        QCOMPARE(spanish.windowTitle(), QStringLiteral("Selección de Idioma"));
        QCOMPARE(option(spanish, "Spanish")->text(), QStringLiteral(" Español"));
        QCOMPARE(button(spanish, "OK")->text(), QStringLiteral("OK"));
    }

    void okStoresTheChosenLanguage()
    {
        clavora::test::FakePlatform platform;
        platform.country = 1809;
        int language = English;
        LanguageDialog dialog(language, platform);
        dialog.show();
        QTest::mouseClick(option(dialog, "Portuguese"), Qt::LeftButton);
        QCOMPARE(language, int{English});
        QTest::mouseClick(button(dialog, "OK"), Qt::LeftButton);
        QCOMPARE(language, int{Portuguese});
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QVERIFY(!dialog.isVisible());
    }

    void cancelChangesNothing()
    {
        clavora::test::FakePlatform platform;
        platform.country = 55;
        int language = Spanish;
        LanguageDialog dialog(language, platform);
        dialog.show();
        QTest::mouseClick(option(dialog, "Automatic"), Qt::LeftButton);
        QTest::mouseClick(button(dialog, "Cancel"), Qt::LeftButton);
        QCOMPARE(language, int{Spanish});
        QCOMPARE(dialog.result(), int{QDialog::Rejected});
        QVERIFY(!dialog.isVisible());
    }

    void automaticRunsTheDetectionAgain_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("country");
        QTest::addColumn<int>("after");
        QTest::newRow("Spanish chosen, Brazil") << int{Spanish} << 55 << int{Portuguese};
        QTest::newRow("Portuguese chosen, Puerto Rico") << int{Portuguese} << 1787 << int{Spanish};
        QTest::newRow("Spanish chosen, no country") << int{Spanish} << 0 << int{English};
        QTest::newRow("English chosen, United Kingdom") << int{English} << 44 << int{English};
    }
    void automaticRunsTheDetectionAgain()
    {
        QFETCH(int, before);
        QFETCH(int, country);
        QFETCH(int, after);
        clavora::test::FakePlatform platform;
        platform.country = country;
        int language = before;
        LanguageDialog dialog(language, platform);
        dialog.show();
        QTest::mouseClick(option(dialog, "Automatic"), Qt::LeftButton);
        QTest::mouseClick(button(dialog, "OK"), Qt::LeftButton);
        QCOMPARE(language, after);
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
    }

    void doubleClickOnAnOptionActsAsOk_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("after");
        QTest::newRow("Automatic") << "Automatic" << int{Spanish};
        QTest::newRow("English") << "English" << int{English};
        QTest::newRow("Portuguese") << "Portuguese" << int{Portuguese};
        QTest::newRow("Spanish") << "Spanish" << int{Spanish};
    }
    void doubleClickOnAnOptionActsAsOk()
    {
        QFETCH(QString, name);
        QFETCH(int, after);
        clavora::test::FakePlatform platform;
        platform.country = 52;
        int language = Portuguese;
        if (name == QLatin1String("Portuguese"))
            language = English;
        LanguageDialog dialog(language, platform);
        dialog.show();
        QTest::mouseDClick(option(dialog, name.toLatin1().constData()), Qt::LeftButton);
        QCOMPARE(language, after);
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QVERIFY(!dialog.isVisible());
    }

    void nothingIsCutOff_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("English") << int{English};
        QTest::newRow("Portuguese") << int{Portuguese};
        QTest::newRow("Spanish") << int{Spanish};
    }
    void nothingIsCutOff()
    {
        QFETCH(int, language);
        clavora::test::FakePlatform platform;
        LanguageDialog dialog(language, platform);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        clavora::test::verifyNothingCut(dialog);
    }

    void unknownLanguageKeepsDesignTextsAndSelectsNothing()
    {
        clavora::test::FakePlatform platform;
        int language = 7;
        LanguageDialog dialog(language, platform);
        for (const char* name : {"Automatic", "English", "Portuguese", "Spanish"})
            QVERIFY(!option(dialog, name)->isChecked());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Select language"));
        QCOMPARE(button(dialog, "Cancel")->text(), QStringLiteral("Cancel"));
        dialog.show();
        QTest::mouseClick(button(dialog, "OK"), Qt::LeftButton);
        QCOMPARE(language, 7);
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
    }
};

QTEST_MAIN(LanguageDialogTest)
#include "LanguageDialogTest.moc"
