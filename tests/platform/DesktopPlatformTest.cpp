#include "platform/DesktopPlatform.h"
#include "platform/KeyRepeatFilter.h"

#include <QMessageBox>
#include <QWindow>
#include <QtTest>

#include <set>

namespace {

// Two windows whose key events are noted as they get them, as "0P24" (press
// of key code 24 in window 0), "0R24" (release), with "*" for a repeat and the
// Qt key's letter where the event has no key code.
struct NotedWindows : QObject {
    QWindow windows[2];
    QStringList log;

    bool eventFilter(QObject* window, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const QString code = key->nativeScanCode() ? QString::number(key->nativeScanCode()) : key->text();
            log << QString::number(window == &windows[0] ? 0 : 1) + (key->type() == QEvent::KeyPress ? 'P' : 'R') + code
                    + (key->isAutoRepeat() ? "*" : "");
        }
        return false;
    }
};

} // namespace

Q_DECLARE_METATYPE(clavora::MessageIcon)

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

    // The box is modal over the window that owns the messages, with the
    // icon, title and text asked for.
    void messageBoxShowsIconTitleAndText_data()
    {
        QTest::addColumn<clavora::MessageIcon>("icon");
        QTest::addColumn<QMessageBox::Icon>("shown");
        QTest::newRow("exclamation") << clavora::MessageIcon::Exclamation << QMessageBox::Warning;
        QTest::newRow("information") << clavora::MessageIcon::Information << QMessageBox::Information;
    }
    void messageBoxShowsIconTitleAndText()
    {
        QFETCH(clavora::MessageIcon, icon);
        QFETCH(QMessageBox::Icon, shown);
        QWidget owner;
        clavora::DesktopPlatform platform;
        platform.setMessageOwner(&owner);
        std::tuple<QMessageBox::Icon, QString, QString, QWidget*> seen;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen = {box->icon(), box->windowTitle(), box->text(), box->parentWidget()};
            box->accept();
        });
        platform.messageBox(icon, "Warning", "Unable to access the MIDI Device.\n\nNo sound will be played");
        QCOMPARE(seen,
            std::tuple(shown, QStringLiteral("Warning"),
                QStringLiteral("Unable to access the MIDI Device.\n\nNo sound will be played"), &owner));
    }

    // Key events as the window system delivers them to two windows: "0P24"
    // presses key code 24 in window 0, "0p24" and "0r24" are a press and a
    // release the platform itself marks as auto-repeat, "0PQ" a press with
    // no key code; "U24" lets key 24 go where no window hears it and "F1"
    // gives window 1 the focus.
    void keyRepeatsAsTheProgramSeesThem_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("delivered");
        const auto row = [](const char* name, const char* events, const char* delivered) {
            QTest::newRow(name) << QString(events) << QString(delivered);
        };
        row("held key", "0P24 0P24 0P24 0R24 0P24", "0P24 0P24* 0P24* 0R24 0P24");
        row("repeats the platform marks", "0P24 0r24 0p24 0R24 0P24", "0P24 0R24* 0P24* 0R24 0P24");
        row("two keys held", "0P24 0P25 0P24 0R24 0P25", "0P24 0P25 0P24* 0R24 0P25*");
        row("no key code", "0PQ 0PQ 0RQ 0PQ", "0PQ 0PQ* 0RQ 0PQ");
        row("repeats after the window changed", "0P9 1P9 1P9 1R9 1P9", "0P9 1R9 1P9");
        row("still held when the focus moves", "0P24 F1 1P24 0P24", "0P24 0P24*");
        row("release lost before the focus moved", "0P24 U24 F1 1P24", "0P24 1P24");
    }
    void keyRepeatsAsTheProgramSeesThem()
    {
        QFETCH(QString, events);
        QFETCH(QString, delivered);
        NotedWindows noted;
        QWindow* const windows = noted.windows;
        for (QWindow& window : noted.windows) {
            window.installEventFilter(&noted);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
        }
        windows[0].requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(&windows[0]));
        std::set<std::uint32_t> down;
        clavora::KeyRepeatFilter filter;
        filter.setKeyProbe([&down](std::uint32_t code) { return std::optional(down.contains(code)); });
        for (const QString& step : events.split(QLatin1Char(' '))) {
            if (step[0] == QLatin1Char('U')) {
                down.erase(step.mid(1).toUInt());
            } else if (step[0] == QLatin1Char('F')) {
                QWindow& window = windows[step.mid(1).toInt()];
                window.requestActivate();
                QVERIFY(QTest::qWaitForWindowActive(&window));
            } else {
                const QString rest = step.mid(2);
                const bool noCode = rest.front().isLetter();
                const auto code = noCode ? 0u : rest.toUInt();
                const QChar kind = step[1];
                const bool press = kind.toUpper() == QLatin1Char('P');
                if (press)
                    down.insert(code);
                QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, noCode ? Qt::Key_Q : Qt::Key_unknown,
                    Qt::NoModifier, code, 0, 0, noCode ? rest : QString(), kind.isLower());
                QCoreApplication::sendEvent(&windows[step[0].digitValue()], &event);
            }
        }
        QCOMPARE(noted.log.join(QLatin1Char(' ')), delivered);
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
        // would be in the list.
        QTRY_COMPARE(fired.join(QLatin1Char(' ')), QStringLiteral("first chained late"));
    }
};

QTEST_MAIN(DesktopPlatformTest)
#include "DesktopPlatformTest.moc"
