#include "TraceMidiOutput.h"
#include "MidiConstants.h"
#include "StandardError.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace clavora {

namespace {

// One line on the terminal about the trace; the program goes on without it.
void complain(const QString& path, const char* what, int error)
{
    writeToStandardError(QStringLiteral("clavora: MIDI trace %1: %2: %3\n")
                             .arg(path, QLatin1String(what), QString::fromLocal8Bit(std::strerror(error))));
}

} // namespace

TraceMidiOutput::TraceMidiOutput(std::unique_ptr<MidiOutput> inner, const QString& path, QElapsedTimer start)
    : ForwardingMidiOutput(std::move(inner))
    , path_(path)
    , start_(start)
{
    openFile();
}

TraceMidiOutput::TraceMidiOutput(MidiOutput& inner, const QString& path, QElapsedTimer start)
    : ForwardingMidiOutput(inner)
    , path_(path)
    , start_(start)
{
    openFile();
}

void TraceMidiOutput::openFile()
{
    // Opened without waiting, so a named pipe nobody reads cannot hold up
    // the start; writes then wait as usual for a slow reader.
    const int fd
        = ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        complain(path_, "cannot be opened", errno);
        return;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    file_ = std::make_unique<QFile>();
    if (!file_->open(fd, QIODevice::WriteOnly | QIODevice::Text, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        file_.reset();
    }
}

TraceMidiOutput::~TraceMidiOutput() = default;

bool TraceMidiOutput::isTracing() const
{
    return file_ != nullptr;
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
    if (file_) {
        const std::string line = formatLine(milliseconds, message) + '\n';
        errno = 0;
        if (file_->write(line.data(), static_cast<qint64>(line.size())) < 0 || !file_->flush()) {
            // The reader went away or the disk is full: the trace ends here,
            // the playing goes on.
            complain(path_, "ended", errno != 0 ? errno : EIO);
            file_.reset();
        }
    }
    return sent;
}

} // namespace clavora
