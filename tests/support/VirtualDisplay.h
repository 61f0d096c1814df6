#pragma once
// An X server of the test's own: Xvfb on a display number it picks itself
// (so tests running side by side never meet), ended with the test, even a
// test that crashes (the server is asked to end when its parent does).
#include <QByteArray>
#include <QString>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace clavora::test {

class VirtualDisplay {
public:
    // Starts the server and waits until it takes connections.
    VirtualDisplay()
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            failure_ = QStringLiteral("no pipe for Xvfb");
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        // The server writes its display number to descriptor 3 once it is ready.
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const char* argv[] = {"setpriv", "--pdeathsig", "TERM", "Xvfb", "-displayfd", "3", "-nolisten", "tcp",
            "-screen", "0", "1024x768x24", nullptr};
        const int spawned = posix_spawnp(&pid_, "setpriv", &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        if (spawned != 0) {
            pid_ = -1;
            ::close(fds[0]);
            failure_ = QStringLiteral("Xvfb cannot be started (is it installed?)");
            return;
        }
        std::string number;
        pollfd ready {fds[0], POLLIN, 0};
        char c = 0;
        while (::poll(&ready, 1, 20000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fds[0]);
        if (number.empty()) {
            failure_ = QStringLiteral("Xvfb did not start a display");
            stop();
            return;
        }
        name_ = QByteArray(":") + QByteArray::fromStdString(number);
    }
    ~VirtualDisplay() { stop(); }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool running() const { return !name_.isEmpty(); }
    // The DISPLAY value, such as ":1".
    const QByteArray& name() const { return name_; }
    // Why the server is not running.
    const QString& failure() const { return failure_; }

private:
    void stop()
    {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGTERM);
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) { }
        pid_ = -1;
    }

    pid_t pid_ = -1;
    QByteArray name_;
    QString failure_;
};

} // namespace clavora::test
