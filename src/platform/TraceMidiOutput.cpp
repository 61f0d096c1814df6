#include "TraceMidiOutput.h"
#include "MidiConstants.h"
#include "StandardError.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace clavora {

namespace {

// One line on the terminal about the trace; the program goes on without it.
void complain(const QString& path, const QString& what)
{
    writeToStandardError(QStringLiteral("clavora: MIDI trace %1: %2\n").arg(path, what));
}

void complain(const QString& path, const char* what, int error)
{
    complain(path, QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(error))));
}

} // namespace

TraceMidiOutput::TraceMidiOutput(
    std::unique_ptr<MidiOutput> inner, const QString& path, QElapsedTimer start, std::size_t backlog)
    : ForwardingMidiOutput(std::move(inner))
    , path_(path)
    , start_(start)
    , backlog_(std::max<std::size_t>(backlog, 1))
{
    openFile();
}

TraceMidiOutput::TraceMidiOutput(MidiOutput& inner, const QString& path, QElapsedTimer start, std::size_t backlog)
    : ForwardingMidiOutput(inner)
    , path_(path)
    , start_(start)
    , backlog_(std::max<std::size_t>(backlog, 1))
{
    openFile();
}

void TraceMidiOutput::openFile()
{
    // Opened without waiting, so a named pipe nobody reads cannot hold up
    // the start; the writer waits for a slow reader in poll(), where the
    // end of the trace can wake it.
    fd_ = ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        complain(path_, "cannot be opened", errno);
        return;
    }
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
        complain(path_, "cannot be opened", errno);
        ::close(fd_);
        fd_ = -1;
        return;
    }
    tracing_ = true;
    writer_ = std::thread([this] { run(); });
}

TraceMidiOutput::~TraceMidiOutput()
{
    if (writer_.joinable()) {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        static_cast<void>(::write(wake_[1], "", 1));
        writer_.join();
    }
    if (dropped_ > 0)
        complain(path_,
            QStringLiteral("%1 %2 dropped while the reader fell behind")
                .arg(dropped_)
                .arg(dropped_ == 1 ? QStringLiteral("line") : QStringLiteral("lines")));
    for (const int fd : {fd_, wake_[0], wake_[1]})
        if (fd >= 0)
            ::close(fd);
}

bool TraceMidiOutput::isTracing() const
{
    return tracing_;
}

bool TraceMidiOutput::waitUntilWritten(std::chrono::milliseconds limit)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [this] { return !tracing_ || (waiting_.empty() && inFlight_ == 0); });
}

std::size_t TraceMidiOutput::droppedLines() const
{
    const std::lock_guard lock(mutex_);
    return dropped_;
}

std::string TraceMidiOutput::formatLine(double milliseconds, std::uint32_t message)
{
    // QString::number and arg() do not follow the locale: the decimal
    // separator is always a point.
    const auto hex = [](int value) { return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper(); };
    return QStringLiteral("%1 %2 %3 %4")
        .arg(QString::number(milliseconds, 'f', 3), hex(midi::statusOf(message)), hex(midi::data1Of(message)),
            hex(midi::data2Of(message)))
        .toStdString();
}

bool TraceMidiOutput::send(std::uint32_t message)
{
    if (!inner().isOpen())
        return inner().send(message);
    const double milliseconds = static_cast<double>(start_.nsecsElapsed()) / 1e6;
    const bool sent = inner().send(message);
    if (tracing_) {
        bool firstDrop = false;
        {
            const std::lock_guard lock(mutex_);
            if (waiting_.size() + inFlight_ < backlog_)
                waiting_.push_back({milliseconds, message});
            else
                firstDrop = dropped_++ == 0;
        }
        changed_.notify_all();
        if (firstDrop)
            complain(path_, QStringLiteral("the reader falls behind; lines are dropped until it catches up"));
    }
    return sent;
}

void TraceMidiOutput::run()
{
    std::unique_lock lock(mutex_);
    while (tracing_) {
        changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (waiting_.empty())
            break;
        std::string text;
        for (const Line& line : waiting_)
            text += formatLine(line.milliseconds, line.message) + '\n';
        inFlight_ = waiting_.size();
        waiting_.clear();
        lock.unlock();
        writeOut(text);
        lock.lock();
        inFlight_ = 0;
        // Lines the ending trace could not write count as dropped.
        if (stopping_)
            dropped_ += static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
        changed_.notify_all();
    }
    tracing_ = false;
    changed_.notify_all();
}

void TraceMidiOutput::writeOut(std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd_, text.data() + done, text.size() - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
            continue;
        }
        const int error = written < 0 ? errno : EIO;
        if (error == EINTR)
            continue;
        if (error != EAGAIN && error != EWOULDBLOCK) {
            // The reader went away or the disk is full: the trace ends here,
            // the playing goes on.
            complain(path_, "ended", error);
            tracing_ = false;
            text.clear();
            return;
        }
        {
            const std::lock_guard lock(mutex_);
            if (stopping_)
                break;
        }
        pollfd waits[2] = {{fd_, POLLOUT, 0}, {wake_[0], POLLIN, 0}};
        static_cast<void>(::poll(waits, 2, -1));
    }
    text.erase(0, done);
}

} // namespace clavora
