#include "LayoutChecks.h"
#include "TextDigest.h"
#include "lang/HelpPages.h"
#include "lang/HelpWindow.h"

using namespace clavora::lang;

namespace {

const char* const kButtons[] = {"Notes", "Chords", "ChordTypes", "Drums"};
const char* const kPanels[] = {"NotesPanel", "ChordsPanel", "ChordTypesPanel", "DrumsPanel"};

QString nameOf(std::string_view name)
{
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

QPushButton* pageButton(QWidget& window, int page)
{
    return clavora::test::child<QPushButton>(window, QLatin1String(kButtons[page]));
}

// Exactly the given page's panel is visible and its button alone is bold.
bool onlyPageShown(QWidget& window, int page)
{
    for (int i = 0; i < 4; ++i) {
        auto* panel = window.findChild<QWidget*>(QLatin1String(kPanels[i]));
        if (!panel || panel->isVisible() != (i == page) || pageButton(window, i)->font().bold() != (i == page))
            return false;
    }
    return true;
}

} // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT

private slots:
    // The pages' rows, with the key texts that read the same in every
    // language, letter for letter.
    void everyRowAsDesigned()
    {
        QStringList lines;
        for (const HelpPage& page : helpPages())
            for (const HelpGroup& group : page.groups)
                for (const HelpRow& row : group.rows)
                    lines << QStringList{nameOf(page.panel), nameOf(group.frame), nameOf(row.keyLabel),
                                         nameOf(row.keyText), nameOf(row.description)}
                                 .join(QLatin1Char('\t'));
        QCOMPARE(clavora::test::textDigest(lines), std::string("28f8a34b4b2a04d9"));
    }

    void pagesShowTheirTextsAndCutNothing_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("page");
        for (int language : {0, int{English}, int{Portuguese}, int{Spanish}})
            for (int page : {3, 2, 1, 0})
                QTest::addRow("language %d, %s", language, kPanels[page]) << language << page;
    }
    void pagesShowTheirTextsAndCutNothing()
    {
        QFETCH(int, language);
        QFETCH(int, page);
        HelpWindow help(language);
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QCOMPARE(help.objectName(), QStringLiteral("frmHelp"));
        QVERIFY(onlyPageShown(help, HelpWindow::NotesPage));
        QTest::mouseClick(pageButton(help, page), Qt::LeftButton);
        QVERIFY(onlyPageShown(help, page));
        QCOMPARE(help.currentPage(), page);

        clavora::test::verifyCaptions(help, helpWindowCaptions(), language);
        QSet<int> descriptionsLeft;
        for (const HelpPage& each : helpPages())
            for (const HelpGroup& group : each.groups)
                for (const HelpRow& row : group.rows) {
                    auto* keys = clavora::test::child<QLabel>(help, nameOf(row.keyLabel));
                    QVERIFY(keys->font().bold());
                    if (!row.keyText.empty())
                        QCOMPARE(keys->text(), nameOf(row.keyText));
                    if (each.panel == kPanels[page])
                        descriptionsLeft << clavora::test::child<QLabel>(help, nameOf(row.description))
                                                ->mapTo(&help, QPoint(0, 0)).x();
                }
        QCOMPARE(descriptionsLeft.size(), 1); // the descriptions of a page line up
        QCOMPARE(clavora::test::shownText(help, QStringLiteral("OK")), QStringLiteral("OK"));
        clavora::test::verifyNothingCut(help);
    }

    void everyOpeningStartsOnTheNotesPage()
    {
        HelpWindow help(Spanish);
        help.show();
        QTest::mouseClick(pageButton(help, HelpWindow::DrumsPage), Qt::LeftButton);
        QTest::mouseClick(help.findChild<QPushButton*>(QStringLiteral("OK")), Qt::LeftButton);
        QVERIFY(!help.isVisible());
        QCOMPARE(help.result(), int{QDialog::Accepted});
        help.show();
        QVERIFY(onlyPageShown(help, HelpWindow::NotesPage));
        help.showPage(4);
        QVERIFY(onlyPageShown(help, HelpWindow::NotesPage));
    }
};

QTEST_MAIN(HelpWindowTest)
#include "HelpWindowTest.moc"
