#include "platform/DesktopPlatform.h"

#include <QtTest>

class DesktopPlatformTest : public QObject {
    Q_OBJECT

private slots:
    // The wait of a tune goes on handling the program's events, and one of
    // them can end it at once.
    void waitHandlesEventsAndCanBeCut()
    {
        clavora::DesktopPlatform platform;
        bool handled = false;
        QTimer::singleShot(0, this, [&] {
            handled = true;
            platform.cancelWait();
        });
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!platform.waitDeferringInput(60000));
        QVERIFY(handled);
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(platform.waitDeferringInput(0));
    }
};

QTEST_MAIN(DesktopPlatformTest)
#include "DesktopPlatformTest.moc"
