#include "AboutFixture.h"
#include "LayoutChecks.h"
#include "about/AboutDialog.h"
#include "about/AboutShows.h"
#include "about/AboutTexts.h"
#include "about/Tunes.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

using clavora::about::AboutDialog;

class AboutDialogTest : public QObject {
    Q_OBJECT

private:
    // One opening of the About box over the shared fixture.
    std::unique_ptr<AboutDialog> open(int language)
    {
        auto dialog = std::make_unique<AboutDialog>(f_->words, f_->port, f_->platform, language,
                                                    [this](QWidget* owner) { gameOwners_.append(owner); });
        dialog->show();
        if (!QTest::qWaitForWindowExposed(dialog.get()))
            qFatal("About box not shown");
        return dialog;
    }
    // Keys go where the user's keys go: to the control with the focus.
    static QWidget* focused(AboutDialog& dialog)
    {
        return dialog.focusWidget() ? dialog.focusWidget() : &dialog;
    }
    static QLabel* label(AboutDialog& dialog, const char* name)
    {
        auto* found = dialog.findChild<QLabel*>(QLatin1String(name));
        if (!found)
            qFatal("no label %s", name);
        return found;
    }
    static void clickOk(AboutDialog& dialog)
    {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("OK")), Qt::LeftButton);
    }

    std::unique_ptr<clavora::test::AboutFixture> f_;
    QList<QWidget*> gameOwners_;

private slots:
    void init()
    {
        f_ = std::make_unique<clavora::test::AboutFixture>();
        gameOwners_.clear();
    }

    void textsFollowTheLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("credit");
        QTest::newRow("English") << 1 << "About Clavora 2.6" << "Created by ";
        QTest::newRow("Portuguese") << 2 << "Sobre o Clavora 2.6" << "Desenvolvido por ";
        QTest::newRow("Spanish") << 3 << "Acerca de Clavora 2.6" << "Creado por ";
        QTest::newRow("Unknown keeps the design texts") << 0 << "About Clavora 2.6" << "Created by ";
    }
    void textsFollowTheLanguage()
    {
        QFETCH(int, language);
        QFETCH(QString, title);
        QFETCH(QString, credit);
        auto dialog = open(language);
        QCOMPARE(dialog->objectName(), QStringLiteral("frmAbout"));
        QCOMPARE(dialog->windowTitle(), title);
        QCOMPARE(label(*dialog, "ProgramTitle")->text(), QStringLiteral("Clavora 2.6"));
        QCOMPARE(label(*dialog, "Author")->text(), credit + clavora::about::authorName());
        QVERIFY(label(*dialog, "Website")->text().contains(QStringLiteral(".example")));
        QCOMPARE(label(*dialog, "EMail")->text(), clavora::about::emailAddress());
        QVERIFY(!dialog->findChild<QPlainTextEdit*>(QStringLiteral("txtListing"))->isVisible());
        clavora::test::verifyNothingCut(*dialog);
    }

    // A blank inside a word spoils it; the whole word then opens the game over the box.
    void gameWordsOpenTheGameOverTheBox()
    {
        auto dialog = open(1);
        QTest::keyClicks(focused(*dialog), QStringLiteral("drave nok "));
        QVERIFY(gameOwners_.isEmpty());
        QTest::keyClicks(focused(*dialog), QStringLiteral("DRAZVENIOK"));
        QCOMPARE(gameOwners_, QList<QWidget*>{dialog.get()});
        QVERIFY(dialog->isVisible());
    }

    // A word begun in one opening is finished in the next.
    void typedWordsLastAcrossOpenings()
    {
        {
            auto first = open(2);
            QTest::keyClicks(focused(*first), QStringLiteral("TOV"));
            clickOk(*first);
        }
        auto second = open(2);
        auto* listing = second->findChild<QPlainTextEdit*>(QStringLiteral("txtListing"));
        QVERIFY(!listing->isVisible());
        QTest::keyClicks(focused(*second), QStringLiteral("ra"));
        QVERIFY(listing->isVisible());
        QCOMPARE(listing->toPlainText().split(QLatin1Char('\n')), clavora::about::listingLines());
        clickOk(*second);
        QVERIFY(f_->platform.boxes.empty());
    }

    void shiftAltQPlaysTheTuneAndClosingSaysItsLine()
    {
        auto dialog = open(1);
        const QImage before = label(*dialog, "AuthorIcon")->pixmap().toImage();
        QTest::keyClick(focused(*dialog), Qt::Key_Q, Qt::ShiftModifier | Qt::AltModifier);
        const auto& tune = clavora::about::tunes()[4];
        QCOMPARE(f_->midi.log().front(), std::string("CF 38 00"));
        QCOMPARE(f_->midi.log().size(), std::size_t{1 + 2 * 40});
        QVERIFY(label(*dialog, "AuthorIcon")->pixmap().toImage() != before);
        clickOk(*dialog);
        QCOMPARE(f_->platform.boxes.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(f_->platform.boxes[0].text), tune.farewell);
    }

    // Closed in the middle of a tune, by the title bar's button or by the
    // program ending: the sounding note goes off and the tune stops there.
    void closingDuringATuneSilencesIt_data()
    {
        QTest::addColumn<bool>("programEnding");
        QTest::addColumn<int>("farewells");
        QTest::newRow("window closed") << false << 1;
        QTest::newRow("program ending") << true << 0;
    }
    void closingDuringATuneSilencesIt()
    {
        QFETCH(bool, programEnding);
        QFETCH(int, farewells);
        auto dialog = open(1);
        f_->platform.onWait = [&](int) {
            if (f_->platform.waits.size() != 2)
                return;
            if (programEnding)
                dialog->closeWithoutFarewell();
            else
                dialog->close();
        };
        QTest::keyClick(focused(*dialog), Qt::Key_Q, Qt::ShiftModifier);
        const std::vector<std::string> expected = {"CF 2C 00", "9F 3E 7F", "8F 3E 00", "9F 40 7F", "8F 40 00"};
        QCOMPARE(f_->midi.log(), expected);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(static_cast<int>(f_->platform.boxes.size()), farewells);
    }

    // "mervo" puts the joke site's picture in place; a Ctrl click on it still plays.
    void jokeSitePictureStillPlaysWhenClicked()
    {
        auto dialog = open(2);
        QTest::keyClicks(focused(*dialog), QStringLiteral("mervo"));
        QCOMPARE(dialog->shows().authorPicture(), clavora::about::kJokeSitePicture);
        QTest::mouseClick(label(*dialog, "AuthorIcon"), Qt::LeftButton);
        QTest::keyClick(focused(*dialog), Qt::Key_Q);
        QVERIFY(f_->midi.log().empty());
        QTest::mouseClick(label(*dialog, "AuthorIcon"), Qt::RightButton, Qt::ControlModifier);
        QCOMPARE(f_->midi.log().front(), std::string("CF 2E 00"));
        QCOMPARE(f_->midi.log().size(), std::size_t{1 + 2 * 273});
        dialog->close();
        QCOMPARE(f_->platform.boxes.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(f_->platform.boxes[0].text), clavora::about::tunes()[8].farewell);
    }
};

QTEST_MAIN(AboutDialogTest)
#include "AboutDialogTest.moc"
