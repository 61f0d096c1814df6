#include "about/AboutDialog.h"
#include "AboutFixture.h"
#include "LayoutChecks.h"
#include "TextDigest.h"

#include <QPlainTextEdit>

#include <memory>

using namespace clavora::about;
using clavora::test::child;

class AboutDialogTest : public QObject {
    Q_OBJECT

    // One opening of the About box over the shared fixture.
    std::unique_ptr<AboutDialog> open(int language)
    {
        auto dialog = std::make_unique<AboutDialog>(
            f_->words, f_->port, f_->platform, language, [this](QWidget* owner) { gameOwners_.append(owner); });
        dialog->show();
        if (!QTest::qWaitForWindowExposed(dialog.get()))
            qFatal("About box not shown");
        return dialog;
    }
    // Keys go where the user's keys go: to the control with the focus.
    static QWidget* focused(AboutDialog& dialog) { return dialog.focusWidget() ? dialog.focusWidget() : &dialog; }
    static QImage picture(AboutDialog& dialog, const QString& name)
    {
        return child<QLabel>(dialog, name)->pixmap().toImage();
    }

    std::unique_ptr<clavora::test::AboutFixture> f_;
    QList<QWidget*> gameOwners_;

private slots:
    void init()
    {
        f_ = std::make_unique<clavora::test::AboutFixture>();
        gameOwners_.clear();
    }

    // The box's texts follow the language, and so does the tune of Q with
    // Shift, Ctrl and Alt, played with both its pictures on view; a plain Q
    // plays nothing. Closing with OK says the tune's line.
    void textsAndTunesFollowTheLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("show"); // played by Shift+Ctrl+Alt+Q; 0: none
        QTest::addColumn<int>("messages"); // its program change, then a note-on and a note-off per note
        QTest::addColumn<QString>("author");
        QTest::addColumn<QString>("farewell"); // the box closing says, as the fixture lists boxes
        QTest::newRow("English") << 1 << 7 << 151 << QStringLiteral("Created by Marcos Valtierra")
                                 << QStringLiteral(" |The hero always comes back for the last chord.");
        QTest::newRow("Portuguese") << 2 << 14 << 189 << QStringLiteral("Desenvolvido por Marcos Valtierra")
                                    << QStringLiteral(" |Save your progress before the harp stops playing.");
        QTest::newRow("Spanish") << 3 << 21 << 137 << QStringLiteral("Creado por Marcos Valtierra")
                                 << QStringLiteral(" |Johannes Brahms (Alemania) 1833-1897");
        QTest::newRow("Unknown keeps the design texts")
            << 0 << 0 << 0 << QStringLiteral("Created by Marcos Valtierra") << QString();
    }
    void textsAndTunesFollowTheLanguage()
    {
        QFETCH(int, language);
        QFETCH(int, show);
        QFETCH(int, messages);
        QFETCH(QString, author);
        QFETCH(QString, farewell);
        auto dialog = open(language);
        QVERIFY(dialog->isModal());
        clavora::test::verifyCaptions(*dialog, clavora::lang::aboutBoxCaptions(), language, {QStringLiteral("Author")});
        QCOMPARE(child<QLabel>(*dialog, "Author")->text(), author);
        clavora::test::verifyNothingCut(*dialog);
        QTest::keyClick(focused(*dialog), Qt::Key_Q);
        QTest::keyClick(focused(*dialog), Qt::Key_Q, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(f_->midi.log().size(), std::size_t(messages));
        const QString number = QString::number(show);
        QVERIFY(!show
            || (!picture(*dialog, "ShowIconPicture" + number).isNull()
                && picture(*dialog, "ClavoraIcon") == picture(*dialog, "ShowIconPicture" + number)
                && picture(*dialog, "AuthorIcon") == picture(*dialog, "ShowAuthorPicture" + number)));
        QTest::mouseClick(child<QPushButton>(*dialog, "OK"), Qt::LeftButton);
        QCOMPARE(f_->boxes(), show ? std::vector {farewell.toStdString()} : std::vector<std::string>());
    }

    // A word begun in one opening is finished in the next, a blank inside a
    // word spoils it, a game word opens the game over the box. "mervo" puts
    // the joke site's picture in place; a Ctrl click on it still plays show 9.
    void typingAndClickingInTheBox()
    {
        auto first = open(2);
        QTest::keyClicks(focused(*first), QStringLiteral("TOV"));
        first->close();
        auto second = open(2);
        auto* listing = child<QPlainTextEdit>(*second, "txtListing");
        QVERIFY(!listing->isVisible());
        QTest::keyClicks(focused(*second), QStringLiteral("ra drave nok "));
        QVERIFY(listing->isVisible());
        // The listing, letter for letter.
        QCOMPARE(clavora::test::textDigest(listing->toPlainText().split(QLatin1Char('\n'))),
            std::string("2956e7a994de481b"));
        QVERIFY(gameOwners_.isEmpty());
        QTest::keyClicks(focused(*second), QStringLiteral("DRAZVENIOK mervo"));
        QCOMPARE(gameOwners_, QList<QWidget*> {second.get()});
        QVERIFY(picture(*second, "AuthorIcon") == picture(*second, "JokeSitePicture"));
        QTest::mouseClick(child<QLabel>(*second, "AuthorIcon"), Qt::LeftButton);
        QVERIFY(f_->midi.log().empty() && f_->platform.boxes.empty());
        QTest::mouseClick(child<QLabel>(*second, "AuthorIcon"), Qt::RightButton, Qt::ControlModifier);
        QCOMPARE(f_->midi.log().size(), 547u); // show 9: 273 notes
        second->close();
        QCOMPARE(f_->boxes(), std::vector<std::string> {" |A new path has opened in the Crystal Caves!"});
    }

    // Closed in the middle of a tune, by the title bar's button or by the
    // program ending: the sounding note goes off and the tune stops there.
    void closingDuringATuneSilencesIt()
    {
        for (const bool programEnding : {false, true}) {
            init();
            auto dialog = open(1);
            f_->platform.onWait = [&](int) {
                if (f_->platform.waits.size() == 2)
                    programEnding ? dialog->closeWithoutFarewell() : void(dialog->close());
            };
            QTest::keyClick(focused(*dialog), Qt::Key_Q, Qt::ShiftModifier);
            const std::vector<std::string> expected = {"CF 2C 00", "9F 3E 7F", "8F 3E 00", "9F 40 7F", "8F 40 00"};
            QCOMPARE(f_->midi.log(), expected);
            QVERIFY(!dialog->isVisible());
            QCOMPARE(f_->boxes().size(), programEnding ? 0u : 1u);
        }
    }
};

QTEST_MAIN(AboutDialogTest)
#include "AboutDialogTest.moc"
