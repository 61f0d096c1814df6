#include "QuitOnSignal.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace clavora {

namespace {

int pipeEnds[2] = {-1, -1};
constexpr int kQuitSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(pipeEnds[0], &byte, 1);
}

sigset_t quitSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (int signal : kQuitSignals)
        sigaddset(&set, signal);
    return set;
}

// A reader that goes away (a trace piped into head) makes writes fail
// instead of ending the program.
void ignoreBrokenPipes()
{
    ::signal(SIGPIPE, SIG_IGN);
}

} // namespace

void QuitOnSignal::holdSignals()
{
    ignoreBrokenPipes();
    const sigset_t held = quitSignals();
    ::pthread_sigmask(SIG_BLOCK, &held, nullptr);
}

QuitOnSignal::QuitOnSignal(QObject* parent)
    : QObject(parent)
{
    ignoreBrokenPipes();
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, pipeEnds) == 0)
        handleSignals();
    // Signals that came while they were held are handled now.
    const sigset_t held = quitSignals();
    ::pthread_sigmask(SIG_UNBLOCK, &held, nullptr);
}

void QuitOnSignal::handleSignals()
{
    notifier_ = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const auto read = ::read(pipeEnds[1], &byte, 1);
        emit signalled();
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kQuitSignals) {
        // A signal ignored by whoever started us (SIGHUP under nohup) stays ignored.
        struct sigaction previous = {};
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signal, &action, nullptr);
        handled_.push_back(signal);
    }
}

QuitOnSignal::~QuitOnSignal()
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    for (int signal : handled_)
        ::sigaction(signal, &action, nullptr);
}

} // namespace clavora
