// The window on a dark desktop theme and with a larger font: held keys and
// pads take the theme's colours, and no key cap loses a letter.
#include "WindowProgram.h"
#include "piano/PianoKeyWidget.h"

#include <QLabel>
#include <QPalette>

using namespace clavora;

namespace {

QPalette darkPalette()
{
    QPalette dark;
    for (const auto& [role, rgb] : {std::pair{QPalette::Window, 0x303030}, {QPalette::WindowText, 0xeeeeee},
                                    {QPalette::Button, 0x3c3c40}, {QPalette::ButtonText, 0xf0f0f0},
                                    {QPalette::Highlight, 0x2a82da}, {QPalette::HighlightedText, 0xfffffe}})
        dark.setColor(role, QColor::fromRgb(QRgb(rgb)));
    return dark;
}

QColor centreOf(QWidget* widget)
{
    return widget->grab().toImage().pixelColor(widget->width() / 2, widget->height() / 8);
}

} // namespace

class ThemeTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QApplication::setPalette(darkPalette()); }
    void cleanup() { QApplication::setPalette(QPalette()); }

    void heldKeysAndPadsTakeTheThemesColours()
    {
        test::Program p;
        const QPalette dark = darkPalette();
        for (const char* name : {"Key(12)", "Key(13)"}) {
            auto* key = p.find<PianoKeyWidget>(QLatin1String(name));
            QTest::mousePress(key, Qt::LeftButton);
            QCOMPARE(centreOf(key), dark.color(QPalette::Highlight));
            QCOMPARE(key->cap()->palette().color(QPalette::WindowText), dark.color(QPalette::HighlightedText));
            QTest::mouseRelease(key, Qt::LeftButton);
            QCOMPARE(key->cap()->palette().color(QPalette::WindowText), QColor(key->isBlack() ? Qt::white : Qt::black));
        }
        p.piano.setPlayDrums(true);
        auto* pad = p.find<QLabel>(QStringLiteral("DrumKey(2)"));
        QCOMPARE(centreOf(pad), QColor(Qt::white));
        QTest::mousePress(pad, Qt::LeftButton);
        QCOMPARE(centreOf(pad), dark.color(QPalette::Button));
        QTest::mouseRelease(pad, Qt::LeftButton);
        QCOMPARE(centreOf(pad), QColor(Qt::white));
    }

    void noCapIsClipped_data()
    {
        QTest::addColumn<int>("pointSize");
        QTest::newRow("default font") << 0;
        QTest::newRow("10 pt") << 10;
    }

    void noCapIsClipped()
    {
        QFETCH(int, pointSize);
        const QFont original = QApplication::font();
        QFont font = original;
        if (pointSize > 0)
            font.setPointSize(pointSize);
        QApplication::setFont(font);
        test::Program p;
        for (int k = 0; k < 44; ++k) {
            QLabel* cap = p.find<PianoKeyWidget>(QStringLiteral("Key(%1)").arg(k))->cap();
            const int lines = static_cast<int>(cap->text().count(QLatin1Char('\n'))) + 1;
            QVERIFY2((cap->geometry() & cap->parentWidget()->rect()) == cap->geometry(), qPrintable(cap->objectName()));
            QVERIFY2(cap->height() >= lines * cap->fontMetrics().lineSpacing(), qPrintable(cap->objectName()));
        }
        QApplication::setFont(original);
    }
};

QTEST_MAIN(ThemeTest)
#include "ThemeTest.moc"
