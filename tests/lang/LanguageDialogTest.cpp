#include "FakePlatform.h"
#include "LayoutChecks.h"
#include "lang/LanguageDialog.h"

#include <QRadioButton>

using namespace clavora::lang;

using clavora::test::child;

class LanguageDialogTest : public QObject {
    Q_OBJECT

private slots:
    void opensOnTheCurrentLanguageWithItsTexts_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("checked");
        QTest::newRow("English") << int{English} << "English";
        QTest::newRow("Portuguese") << int{Portuguese} << "Portuguese";
        QTest::newRow("Spanish") << int{Spanish} << "Spanish";
        QTest::newRow("unknown: design texts, nothing chosen") << 7 << "";
    }
    void opensOnTheCurrentLanguageWithItsTexts()
    {
        QFETCH(int, language);
        QFETCH(QString, checked);
        clavora::test::FakePlatform platform;
        LanguageDialog dialog(language, platform);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.objectName(), QStringLiteral("frmLanguage"));
        for (const char* name : {"Automatic", "English", "Portuguese", "Spanish"})
            QCOMPARE(child<QRadioButton>(dialog, name)->isChecked(), checked == QLatin1String(name));
        clavora::test::verifyCaptions(dialog, languageDialogCaptions(), language);
        QCOMPARE(child<QAbstractButton>(dialog, "OK")->text(), QStringLiteral("OK"));
        clavora::test::verifyNothingCut(dialog);
        // The options' frame, OK and Cancel beside it, the note below.
        const QRect frame = child<QGroupBox>(dialog, "LanguageSelect")->geometry();
        const QRect ok = child<QPushButton>(dialog, "OK")->geometry();
        QVERIFY(ok.left() > frame.right());
        QVERIFY(child<QPushButton>(dialog, "Cancel")->geometry().top() > ok.bottom());
        QVERIFY(child<QLabel>(dialog, "Note")->geometry().top() > frame.bottom());
        QVERIFY(child<QPushButton>(dialog, "OK")->isDefault());
    }

    // The user picks an option (or none) and leaves by OK, Cancel or a
    // double click on the option; the country is what detection finds.
    void choosing_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("country");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("after");
        QTest::addColumn<int>("result");
        const int ok = QDialog::Accepted;
        QTest::newRow("Portuguese, OK") << int{English} << 1809 << "Portuguese" << "OK" << int{Portuguese} << ok;
        QTest::newRow("Automatic, Cancel") << int{Spanish} << 55 << "Automatic" << "Cancel" << int{Spanish}
                                           << int{QDialog::Rejected};
        QTest::newRow("Automatic in Brazil") << int{Spanish} << 55 << "Automatic" << "OK" << int{Portuguese} << ok;
        QTest::newRow("Automatic in Puerto Rico") << int{Portuguese} << 1787 << "Automatic" << "OK" << int{Spanish} << ok;
        QTest::newRow("Automatic, no country") << int{Spanish} << 0 << "Automatic" << "OK" << int{English} << ok;
        QTest::newRow("double click Automatic") << int{Portuguese} << 52 << "Automatic" << "double" << int{Spanish} << ok;
        QTest::newRow("double click English") << int{Portuguese} << 52 << "English" << "double" << int{English} << ok;
        QTest::newRow("double click Portuguese") << int{English} << 52 << "Portuguese" << "double" << int{Portuguese}
                                                 << ok;
        QTest::newRow("double click Spanish") << int{Portuguese} << 52 << "Spanish" << "double" << int{Spanish} << ok;
        QTest::newRow("unknown language, none chosen") << 7 << 55 << "" << "OK" << 7 << ok;
    }
    void choosing()
    {
        QFETCH(int, before);
        QFETCH(int, country);
        QFETCH(QString, option);
        QFETCH(QString, way);
        QFETCH(int, after);
        QFETCH(int, result);
        clavora::test::FakePlatform platform;
        platform.country = country;
        int language = before;
        LanguageDialog dialog(language, platform);
        dialog.show();
        if (way == QLatin1String("double")) {
            QTest::mouseDClick(child<QAbstractButton>(dialog, option), Qt::LeftButton);
        } else {
            if (!option.isEmpty())
                QTest::mouseClick(child<QAbstractButton>(dialog, option), Qt::LeftButton);
            QCOMPARE(language, before);
            QTest::mouseClick(child<QAbstractButton>(dialog, way), Qt::LeftButton);
        }
        QCOMPARE(language, after);
        QCOMPARE(dialog.result(), result);
        QVERIFY(!dialog.isVisible());
    }
};

QTEST_MAIN(LanguageDialogTest)
#include "LanguageDialogTest.moc"
