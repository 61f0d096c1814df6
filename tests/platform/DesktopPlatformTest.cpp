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

    // Timers fire once each, in the order they fall due, from the event loop
    // (never inside startTimer); a cancelled one stays silent, and
    // cancelling one that has fired does nothing.
    void timersFireOnceAndCanBeCancelled()
    {
        clavora::DesktopPlatform platform;
        QStringList fired;
        int late = 0;
        late = platform.startTimer(30, [&] {
            fired << QStringLiteral("late");
            platform.cancelTimer(late);
        });
        const int cancelled = platform.startTimer(10, [&] { fired << QStringLiteral("cancelled"); });
        platform.startTimer(0, [&] {
            fired << QStringLiteral("first");
            platform.startTimer(5, [&] { fired << QStringLiteral("chained"); });
        });
        platform.cancelTimer(cancelled);
        QVERIFY(fired.isEmpty());
        // The cancelled timer fell due before the late one: had it fired, it
        // would be among the three.
        QTRY_COMPARE(fired.size(), 3);
        QCOMPARE(fired.join(QLatin1Char(' ')), QStringLiteral("first chained late"));
    }
};

QTEST_MAIN(DesktopPlatformTest)
#include "DesktopPlatformTest.moc"
