#pragma once
// An X server of the test's own: Xvfb on a display number it picks itself
// (so tests running side by side never meet), ended with the test, even a
// test that crashes (the server is asked to end when its parent does).
#include <QByteArray>
#include <QProcess>
#include <QString>

#include <csignal>

#include <sys/prctl.h>

namespace clavora::test {

class VirtualDisplay {
public:
    // Starts the server and waits until it takes connections: it writes its
    // display number on its standard output once it is ready.
    VirtualDisplay()
    {
        server_.setStandardErrorFile(QProcess::nullDevice());
        server_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        server_.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
        if (!server_.waitForStarted()) {
            failure_ = QStringLiteral("Xvfb cannot be started (is it installed?)");
            return;
        }
        while (!server_.canReadLine() && server_.waitForReadyRead(20000)) { }
        name_ = ":" + server_.readLine().trimmed();
        if (name_ == ":") {
            name_.clear();
            failure_ = QStringLiteral("Xvfb did not start a display");
        }
    }
    ~VirtualDisplay()
    {
        server_.terminate();
        server_.waitForFinished();
    }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool running() const { return !name_.isEmpty(); }
    // The DISPLAY value, such as ":1".
    const QByteArray& name() const { return name_; }
    // Why the server is not running.
    const QString& failure() const { return failure_; }

private:
    QProcess server_;
    QByteArray name_;
    QString failure_;
};

} // namespace clavora::test
