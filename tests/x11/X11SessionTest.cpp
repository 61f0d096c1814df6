// The program's windows on a real X server (Xvfb, started by the test):
// keys held down repeat as the server repeats them, with its detectable
// auto-repeat on, and windows without a title have no name.
#include "AboutFixture.h"
#include "VirtualDisplay.h"
#include "WindowProgram.h"
#include "about/AboutDialog.h"
#include "game/GameWindow.h"
#include "piano/KeyReceiver.h"
#include "platform/DesktopPlatform.h"
#include "platform/KeyRepeatFilter.h"
#include "platform/X11Connection.h"
#include "platform/X11KeyPresses.h"
#include "platform/X11Keyboard.h"
#include "platform/X11Windows.h"

#include <QEventLoop>
#include <QHash>

#include <cstring>
#include <ranges>
#include <tuple>

// The XKB header names a structure field `explicit`, a keyword in C++.
#define explicit xkb_explicit
#include <xcb/xkb.h>
#undef explicit
#include <xcb/xtest.h>

namespace {

using namespace clavora;
using test::Messages;
using test::msg;

// X key codes of the keys held.
constexpr std::uint8_t kQ = 24, kShiftLeft = 50, kComma = 59, kPeriod = 60, kF2 = 68, kF3 = 69;

void fakeKey(std::uint8_t code, bool press)
{
    xcb_connection_t* c = x11::connection();
    xcb_test_fake_input(c, press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(c);
}

// Counts the presses and releases of one key as the server delivers them to
// each window, before the program's own filters see them.
class KeyCounter : public QObject {
public:
    explicit KeyCounter(std::uint8_t code)
        : code_(code)
    {
        qApp->installEventFilter(this);
    }
    int presses(const QWidget* window) const { return presses_.value(window->windowHandle()); }
    int releases = 0;
    std::function<void()> onPress; // as each press reaches its window

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched->isWindowType() && event->spontaneous()
            && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
            && static_cast<QKeyEvent*>(event)->nativeScanCode() == code_)
            event->type() == QEvent::KeyPress ? void(++presses_[watched]) : void(++releases);
        if (onPress && presses_.value(watched) > 0 && event->type() == QEvent::KeyPress)
            onPress();
        return false;
    }

private:
    std::uint8_t code_;
    QHash<QObject*, int> presses_;
};

// A game window shown, its start timer stopped: games start by keys alone.
void showGame(std::optional<game::GameWindow>& game, game::Game::Seeder seeder)
{
    game.emplace(nullptr, nullptr, std::move(seeder));
    game->show();
    game->findChild<QTimer*>(QStringLiteral("tmrStart"))->stop();
}

// The window held keys go to (the About box, which stays open, else a
// game), the keys held, in order; what they start.
struct Held {
    bool about;
    QList<int> keys;
    int games, tunes;
};

QByteArray windowProperty(xcb_window_t window, const char* name)
{
    xcb_connection_t* c = x11::connection();
    const auto atom = x11::owned(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    const auto reply = x11::owned(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, atom->atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr));
    if (!reply || reply->type == XCB_ATOM_NONE)
        return "(unset)";
    return QByteArray(
        static_cast<const char*>(xcb_get_property_value(reply.get())), xcb_get_property_value_length(reply.get()));
}

} // namespace

Q_DECLARE_METATYPE(Held)

class X11SessionTest : public QObject {
    Q_OBJECT
public:
    explicit X11SessionTest(const test::VirtualDisplay& display)
        : display_(display)
    {
    }

private slots:
    void initTestCase()
    {
        if (!display_.running())
            QSKIP(qPrintable(display_.failure()));
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        // What the program asks of the server at start.
        QVERIFY(x11::enableDetectableAutoRepeat());
        repeats_.setKeyProbe(&x11::isKeyDown);
    }

    // A failed row leaves no key down for the next.
    void cleanup()
    {
        for (std::uint8_t key : {kQ, kShiftLeft, kComma, kPeriod, kF2, kF3})
            fakeKey(key, false);
    }

    // Which key the X server sees down, as read when a window gets the focus.
    void keyProbeReadsTheServer()
    {
        fakeKey(kF3, true);
        const std::optional<bool> held = x11::isKeyDown(kF3);
        fakeKey(kF3, false);
        QCOMPARE(std::tuple(held, x11::isKeyDown(kF3), x11::isKeyDown(256)),
            std::tuple(std::optional(true), std::optional(false), std::optional<bool>()));
    }

    // Each row holds keys in a window until the server has repeated the last
    // one several times: what the held key starts, it starts once.
    void heldKeysFireOnce_data()
    {
        QTest::addColumn<Held>("c");
        QTest::newRow("F2 in the game") << Held {false, {kF2}, 1, 0};
        QTest::newRow("F3 in the game") << Held {false, {kF3}, 1, 0};
        QTest::newRow("Shift+Q in the About box") << Held {true, {kShiftLeft, kQ}, 0, 1};
    }
    void heldKeysFireOnce()
    {
        QFETCH(Held, c);
        test::AboutFixture f;
        std::optional<about::AboutDialog> about;
        std::optional<game::GameWindow> game;
        int started = 0;
        if (c.about)
            about.emplace(
                f.words, f.port, f.platform, 1, [](QWidget*) {}, nullptr);
        else
            showGame(game, [&] { return static_cast<std::uint32_t>(++started); });
        QWidget* target = game ? static_cast<QWidget*>(&*game) : &*about;
        target->show();
        target->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(target));
        f.midi.clear();

        KeyCounter counter(static_cast<std::uint8_t>(c.keys.back()));
        bool released = false, done = false, aboutOpen = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (!released && counter.presses(target) >= 6) {
                for (int key : c.keys | std::views::reverse)
                    fakeKey(static_cast<std::uint8_t>(key), false);
                released = true;
            }
            if (released && counter.releases > 0 && !done) {
                done = true;
                aboutOpen = about && about->isVisible();
                if (game)
                    game->close(); // ends a running game's loop
                if (about)
                    about->close();
            }
        });
        watch.start(10);
        for (int key : c.keys)
            fakeKey(static_cast<std::uint8_t>(key), true);
        // A game started by the key runs inside this wait until the window closes.
        QTRY_VERIFY_WITH_TIMEOUT(done, 20000);

        // The server sent presses only, and one release.
        QCOMPARE(counter.releases, 1);
        const auto programChanges = std::ranges::count_if(
            f.midi.messages(), [](const RecordingMidiOutput::Message& m) { return m.status == 0xCF; });
        QCOMPARE(std::tuple(started, int(programChanges), aboutOpen), std::tuple(c.games, c.tunes, c.about));
    }

    // A key that only plays sounds as the server's press comes, before Qt
    // has made a key event of it, and that event plays nothing more; also
    // while another key is held.
    void notesPlayAheadOfTheirKeyEvent_data()
    {
        QTest::addColumn<int>("held");
        QTest::addColumn<Messages>("played");
        QTest::newRow("alone") << 0 << Messages {msg(0x90, 0x3C, 0x7F), msg(0x80, 0x3C, 0)};
        QTest::newRow("another key held") << int(
            kPeriod) << Messages {msg(0x90, 0x3E, 0x7F), msg(0x90, 0x3C, 0x7F), msg(0x80, 0x3C, 0), msg(0x80, 0x3E, 0)};
    }
    void notesPlayAheadOfTheirKeyEvent()
    {
        QFETCH(int, held);
        QFETCH(Messages, played);
        test::Program p;
        QVERIFY(p.window.isActiveWindow());
        // Wired as the program does.
        x11::EarlyKeyPresses early([&](const x11::KeyPress& press) {
            if (press.window == p.window.winId() && !repeats_.isDown(press.keyCode, 0))
                p.window.keyReceiver()->pressAtOnce(press.keyCode, press.modifiers, press.timestamp);
        });
        KeyCounter counter(kComma);
        int heard = -1;
        // An event loop that waits, as the program's does, when the key comes.
        QEventLoop loop;
        counter.onPress = [&] {
            heard = int(p.midi.messages().size());
            loop.quit();
        };
        // The server's first key from its test keyboard comes with news of
        // the keyboard changing, which Qt handles first: Shift goes before.
        fakeKey(kShiftLeft, true);
        fakeKey(kShiftLeft, false);
        if (held) {
            fakeKey(std::uint8_t(held), true);
            QTRY_COMPARE(p.midi.messages().size(), std::size_t(1));
        }
        QTimer::singleShot(50, [&] { fakeKey(kComma, true); });
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        QCOMPARE(counter.presses(&p.window), 1);
        fakeKey(kComma, false);
        QTRY_COMPARE(counter.releases, 1);
        QCOMPARE(heard, held ? 2 : 1);
        if (held)
            fakeKey(std::uint8_t(held), false);
        QTRY_COMPARE(p.midi.messages(), played);
    }

    // The game window and the stealth window with nothing after the switch
    // have no title text in either of the names a window manager reads; a
    // stealth title is shown as given, also after the layout is redone.
    void untitledWindowsHaveNoName_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("name");
        QTest::newRow("game window") << QString() << QString();
        QTest::newRow("stealth") << QStringLiteral("/stealth") << QString();
        QTest::newRow("stealth with a title") << QStringLiteral("/STEALTHMy Title") << QStringLiteral("My Title");
    }
    void untitledWindowsHaveNoName()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, name);
        std::optional<game::GameWindow> game;
        std::optional<test::Program> program;
        QWidget* window = nullptr;
        if (commandLine.isEmpty()) {
            showGame(game, [] { return 1u; });
            window = &*game;
        } else {
            program.emplace(commandLine);
            program->find<QAction>(QStringLiteral("ShowToolbar"))->trigger();
            window = &program->window;
        }
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const auto id = static_cast<xcb_window_t>(window->winId());
        QCOMPARE(std::tuple(windowProperty(id, "WM_NAME"), windowProperty(id, "_NET_WM_NAME")),
            std::tuple(name.toUtf8(), name.toUtf8()));
    }

    // The system beep rings the server's bell.
    void beepRingsTheBell()
    {
        xcb_connection_t* listener = xcb_connect(display_.name().constData(), nullptr);
        QVERIFY(!xcb_connection_has_error(listener));
        const xcb_query_extension_reply_t* xkb = xcb_get_extension_data(listener, &xcb_xkb_id);
        QVERIFY(xkb && xkb->present);
        free(xcb_xkb_use_extension_reply(
            listener, xcb_xkb_use_extension(listener, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION), nullptr));
        constexpr auto bell = XCB_XKB_EVENT_TYPE_BELL_NOTIFY;
        free(xcb_request_check(
            listener, xcb_xkb_select_events_checked(listener, XCB_XKB_ID_USE_CORE_KBD, bell, 0, bell, 0, 0, nullptr)));
        DesktopPlatform().beep();
        bool rang = false;
        const auto bellRang = [&] {
            while (xcb_generic_event_t* event = xcb_poll_for_event(listener)) {
                rang |= (event->response_type & 0x7f) == xkb->first_event && event->pad0 == XCB_XKB_BELL_NOTIFY;
                free(event);
            }
            return rang;
        };
        const bool rangInTime = QTest::qWaitFor(bellRang, 10000);
        xcb_disconnect(listener); // also when the bell never rang
        QVERIFY(rangInTime);
    }

private:
    const test::VirtualDisplay& display_;
    // As the program has them: one record of held keys for every window,
    // and windows without a title kept nameless.
    KeyRepeatFilter repeats_;
    x11::UntitledWindows untitled_;
};

int main(int argc, char** argv)
{
    clavora::test::VirtualDisplay display;
    qputenv("QT_QPA_PLATFORM", display.running() ? "xcb" : "offscreen");
    if (display.running())
        qputenv("DISPLAY", display.name());
    QCoreApplication::setApplicationName(QStringLiteral("Clavora"));
    QApplication app(argc, argv);
    X11SessionTest test(display);
    return QTest::qExec(&test, argc, argv);
}

#include "X11SessionTest.moc"
