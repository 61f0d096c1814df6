#pragma once
#include <QObject>

#include <vector>

class QSocketNotifier;

namespace clavora {

// Turns SIGINT, SIGTERM and SIGHUP into an orderly quit of the event loop, so
// that the program closes its MIDI device (and finishes a WAV file being
// rendered) when it is stopped from a terminal or by the session. It needs
// the application object; work started before that (the device opening)
// calls holdSignals() first, so no signal finds the program unguarded.
class QuitOnSignal : public QObject {
    Q_OBJECT
public:
    // Keeps those signals waiting, in this thread and in every thread it
    // starts from now on, until a QuitOnSignal is created in this thread.
    static void holdSignals();

    explicit QuitOnSignal(QObject* parent = nullptr);
    ~QuitOnSignal() override;

signals:
    // Emitted on the event loop before it quits, so windows can close first.
    void signalled();

private:
    void handleSignals();

    QSocketNotifier* notifier_ = nullptr;
    std::vector<int> handled_;
};

} // namespace clavora
