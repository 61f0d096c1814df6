#include "FakePlatform.h"
#include "LayoutChecks.h"
#include "TextDigest.h"
#include "lang/HelpPages.h"
#include "lang/HelpWindow.h"
#include "lang/LanguageDialog.h"

#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>

using namespace clavora::lang;
using clavora::test::child;

namespace {

const char* const kButtons[] = {"Notes", "Chords", "ChordTypes", "Drums"};
const char* const kPanels[] = {"NotesPanel", "ChordsPanel", "ChordTypesPanel", "DrumsPanel"};
const char* const kOptions[] = {"Automatic", "English", "Portuguese", "Spanish"}; // by language number

QString nameOf(std::string_view name)
{
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

// Exactly the given page's panel is visible and its button alone is bold.
bool onlyPageShown(QWidget& window, int page)
{
    for (int i = 0; i < 4; ++i) {
        auto* panel = window.findChild<QWidget*>(QLatin1String(kPanels[i]));
        if (!panel || panel->isVisible() != (i == page)
            || child<QPushButton>(window, kButtons[i])->font().bold() != (i == page))
            return false;
    }
    return true;
}

// The user picks an option (or none) in the language dialog and leaves by
// OK, Cancel or a double click on the option; the country is what detection
// finds. Each language the dialog can open on comes first in some row.
struct Choice {
    int before, country;
    QString option, way;
    int after, result = QDialog::Accepted;
};

} // namespace

Q_DECLARE_METATYPE(Choice)

class LangWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void helpPagesShowTheirTextsAndCutNothing_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("page");
        for (int language : {0, int {English}, int {Portuguese}, int {Spanish}})
            for (int page : {3, 2, 1, 0})
                QTest::addRow("language %d, %s", language, kPanels[page]) << language << page;
    }
    void helpPagesShowTheirTextsAndCutNothing()
    {
        QFETCH(int, language);
        QFETCH(int, page);
        HelpWindow help(language);
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QVERIFY(onlyPageShown(help, HelpWindow::NotesPage));
        QTest::mouseClick(child<QPushButton>(help, kButtons[page]), Qt::LeftButton);
        QVERIFY(onlyPageShown(help, page));
        clavora::test::verifyCaptions(help, helpWindowCaptions(), language);
        // The help pages' rows, letter for letter, with the key texts that
        // read the same in every language shown in bold.
        QStringList lines;
        for (const HelpPage& each : helpPages())
            for (const HelpGroup& group : each.groups)
                for (const HelpRow& row : group.rows) {
                    auto* keys = child<QLabel>(help, nameOf(row.keyLabel));
                    QVERIFY(keys->font().bold() && (row.keyText.empty() || keys->text() == nameOf(row.keyText)));
                    lines << QStringList {nameOf(each.panel), nameOf(group.frame), nameOf(row.keyLabel),
                        nameOf(row.keyText), nameOf(row.description)}
                                 .join(QLatin1Char('\t'));
                }
        QCOMPARE(clavora::test::textDigest(lines), std::string("28f8a34b4b2a04d9"));
        QCOMPARE(clavora::test::shownText(help, QStringLiteral("OK")), QStringLiteral("OK"));
        clavora::test::verifyNothingCut(help);
        clavora::test::verifyNoOverlap(help);
        // The whole window fits the screen, however small or scaled.
        const QSize screen = help.screen()->availableSize();
        QVERIFY2(help.width() <= screen.width() && help.height() <= screen.height(),
            qPrintable(QStringLiteral("%1 x %2").arg(help.width()).arg(help.height())));
        // Every opening starts on the notes page.
        QTest::mouseClick(child<QPushButton>(help, "OK"), Qt::LeftButton);
        QCOMPARE(std::tuple(help.isVisible(), help.result()), std::tuple(false, int {QDialog::Accepted}));
        help.show();
        QVERIFY(onlyPageShown(help, HelpWindow::NotesPage));
    }

    // The room the window is given, against the room its pages ask for: to
    // spare, too short, too short and too narrow, or far too small for any
    // help at all. Where the pages are cut they scroll, and only the way
    // they are cut.
    void helpWindowFitsTheRoomItHas_data()
    {
        QTest::addColumn<QSize>("more"); // than the pages ask for; none for 60 x 60
        QTest::addColumn<bool>("across"); // a scroll bar across the pages
        QTest::addColumn<bool>("down"); // and one down their side
        QTest::newRow("to spare") << QSize(100, 100) << false << false;
        QTest::newRow("short") << QSize(100, -100) << false << true;
        // No room beside the pages for the scroll bar down their side: they
        // give up its width and scroll both ways.
        QTest::newRow("short, just as wide") << QSize(0, -100) << true << true;
        QTest::newRow("short and narrow") << QSize(-100, -100) << true << true;
        QTest::newRow("far too small") << QSize() << true << true;
    }
    void helpWindowFitsTheRoomItHas()
    {
        QFETCH(QSize, more);
        QFETCH(bool, across);
        QFETCH(bool, down);
        HelpWindow help(English);
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        auto* scroll = child<QScrollArea>(help, "PageScroll");
        help.fitInto(QSize(100000, 100000));
        QCoreApplication::processEvents();
        const QSize whole = help.size();
        QCOMPARE(scroll->viewport()->size(), scroll->widget()->sizeHint());
        const QSize room = more == QSize() ? QSize(60, 60) : whole + more;
        help.fitInto(room);
        QCoreApplication::processEvents();
        QCOMPARE(scroll->horizontalScrollBar()->isVisible(), across);
        QCOMPARE(scroll->verticalScrollBar()->isVisible(), down);
        // The page buttons and OK stay whole and in sight, in a room that
        // has space for them.
        clavora::test::verifyNothingCut(help);
        if (more != QSize())
            QVERIFY2(help.width() <= room.width() && help.height() <= room.height(),
                qPrintable(QStringLiteral("%1 x %2").arg(help.width()).arg(help.height())));
    }

    void choosingALanguage_data()
    {
        QTest::addColumn<Choice>("c");
        QTest::newRow("Portuguese, OK") << Choice {English, 1809, "Portuguese", "OK", Portuguese};
        QTest::newRow("Automatic, Cancel") << Choice {Spanish, 55, "Automatic", "Cancel", Spanish, QDialog::Rejected};
        QTest::newRow("Automatic in Brazil") << Choice {Spanish, 55, "Automatic", "OK", Portuguese};
        QTest::newRow("double click Automatic") << Choice {Portuguese, 52, "Automatic", "double", Spanish};
        QTest::newRow("double click Portuguese") << Choice {English, 52, "Portuguese", "double", Portuguese};
        QTest::newRow("unknown language, none chosen") << Choice {7, 55, "", "OK", 7};
    }
    void choosingALanguage()
    {
        QFETCH(Choice, c);
        clavora::test::FakePlatform platform;
        platform.country = c.country;
        int language = c.before;
        LanguageDialog dialog(language, platform);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // It opens on the current language (none for an unknown one) with its texts.
        for (int option = 0; option < 4; ++option)
            QCOMPARE(child<QRadioButton>(dialog, kOptions[option])->isChecked(), option == c.before);
        clavora::test::verifyCaptions(dialog, languageDialogCaptions(), c.before);
        QCOMPARE(child<QAbstractButton>(dialog, "OK")->text(), QStringLiteral("OK"));
        clavora::test::verifyNothingCut(dialog);
        QVERIFY(child<QPushButton>(dialog, "OK")->isDefault());
        if (c.way == QLatin1String("double")) {
            QTest::mouseDClick(child<QAbstractButton>(dialog, c.option), Qt::LeftButton);
        } else {
            if (!c.option.isEmpty())
                QTest::mouseClick(child<QAbstractButton>(dialog, c.option), Qt::LeftButton);
            QCOMPARE(language, c.before);
            QTest::mouseClick(child<QAbstractButton>(dialog, c.way), Qt::LeftButton);
        }
        QCOMPARE(std::tuple(language, dialog.result(), dialog.isVisible()), std::tuple(c.after, c.result, false));
    }
};

QTEST_MAIN(LangWindowsTest)
#include "LangWindowsTest.moc"
