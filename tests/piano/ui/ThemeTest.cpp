// The window on a dark desktop theme and on a 2x screen: held keys and pads
// take the theme's colours, and no key cap loses a letter.
#include "WindowProgram.h"
#include "piano/PianoKeyWidget.h"

#include <QLabel>
#include <QPalette>
#include <QTest>

using namespace clavora;

namespace {

QPalette darkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Button, QColor(0x3c, 0x3c, 0x40));
    dark.setColor(QPalette::ButtonText, QColor(0xf0, 0xf0, 0xf0));
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    dark.setColor(QPalette::HighlightedText, QColor(0xff, 0xff, 0xfe));
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
    void heldKeysAndPadsTakeTheThemesColours();
    void noCapIsClipped_data();
    void noCapIsClipped();
};

void ThemeTest::heldKeysAndPadsTakeTheThemesColours()
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

void ThemeTest::noCapIsClipped_data()
{
    QTest::addColumn<int>("pointSize");
    QTest::newRow("default font") << 0;
    QTest::newRow("10 pt") << 10;
}

void ThemeTest::noCapIsClipped()
{
    QFETCH(int, pointSize);
    const QFont original = QApplication::font();
    if (pointSize > 0) {
        QFont font = original;
        font.setPointSize(pointSize);
        QApplication::setFont(font);
    }
    test::Program p;
    for (int k = 0; k < 44; ++k) {
        auto* key = p.find<PianoKeyWidget>(QStringLiteral("Key(%1)").arg(k));
        QLabel* cap = key->cap();
        const int lines = static_cast<int>(cap->text().count(QLatin1Char('\n'))) + 1;
        const QRect inside = cap->geometry() & key->rect();
        QVERIFY2(inside == cap->geometry(), qPrintable(cap->objectName()));
        QVERIFY2(cap->height() >= lines * cap->fontMetrics().lineSpacing(), qPrintable(cap->objectName()));
    }
    QApplication::setFont(original);
}

QTEST_MAIN(ThemeTest)
#include "ThemeTest.moc"
