#include "TakeRecorder.h"
#include "StandardError.h"
#include "SystemMidiOutput.h"

#include <QFile>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace clavora {

namespace {

const QString kRecordOption = QStringLiteral("--record");

// Header, tempo and track ends of a format 0 file.
constexpr int kTrackLengthOffset = 18;
constexpr int kTrackStart = 22;

QByteArray variableLength(long long value)
{
    QByteArray bytes(1, static_cast<char>(value & 0x7F));
    while ((value >>= 7) > 0)
        bytes.prepend(static_cast<char>(0x80 | (value & 0x7F)));
    return bytes;
}

QByteArray bigEndian(quint32 value, int size)
{
    QByteArray bytes;
    for (int shift = (size - 1) * 8; shift >= 0; shift -= 8)
        bytes.append(static_cast<char>((value >> shift) & 0xFF));
    return bytes;
}

long long tickOf(double milliseconds)
{
    return std::llround(std::max(0.0, milliseconds));
}

// Header, track header (its length still 0) and the tempo.
QByteArray fileHead()
{
    return "MThd" + bigEndian(6, 4) + bigEndian(0, 2) + bigEndian(1, 2)
        + bigEndian(StandardMidiFile::kTicksPerQuarter, 2) + "MTrk" + bigEndian(0, 4) + QByteArray::fromHex("00FF5103")
        + bigEndian(StandardMidiFile::kMicrosecondsPerQuarter, 3);
}

QByteArray trackEvent(long long delta, const std::vector<std::uint8_t>& bytes)
{
    return variableLength(delta)
        + QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

QByteArray endOfTrack(long long delta)
{
    return variableLength(delta) + QByteArray::fromHex("FF2F00");
}

} // namespace

RecordArguments takeRecordArguments(const QStringList& arguments)
{
    RecordArguments result;
    bool given = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == kRecordOption) {
            if (i + 1 == arguments.size()) {
                result.error = QStringLiteral("--record needs a file name (take.mid or take.wav)");
                return result;
            }
            result.path = arguments.at(++i);
            given = true;
        } else if (argument.startsWith(kRecordOption + QLatin1Char('='))) {
            result.path = argument.mid(kRecordOption.size() + 1);
            given = true;
        } else {
            result.rest.append(argument);
        }
    }
    if (given && !takeFormatOf(result.path))
        result.error = QStringLiteral("cannot record into \"%1\": the name must end in .mid or .wav").arg(result.path);
    return result;
}

double processAgeMs()
{
    // The 22nd field of /proc/self/stat is the start time in clock ticks
    // after boot; the command name before it may hold blanks.
    QFile stat(QStringLiteral("/proc/self/stat"));
    timespec now {};
    const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    if (!stat.open(QIODevice::ReadOnly) || ticksPerSecond <= 0 || ::clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return 0;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    constexpr int kStartTimeAfterName = 19;
    if (fields.size() <= kStartTimeAfterName)
        return 0;
    const double started = fields.at(kStartTimeAfterName).toDouble() * 1000.0 / static_cast<double>(ticksPerSecond);
    const double uptime = static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
    return std::max(0.0, uptime - started);
}

StandardMidiFile::StandardMidiFile(const QString& path)
    : file_(std::make_unique<QFile>(path))
{
    // Unbuffered, so that a failed write is known at once.
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        file_.reset();
        return;
    }
    const QByteArray head = fileHead();
    endPosition_ = head.size();
    if (!writeAt(0, head) || !append({}, 0))
        file_.reset();
}

StandardMidiFile::~StandardMidiFile() = default;

bool StandardMidiFile::isOpen() const
{
    return file_ != nullptr;
}

bool StandardMidiFile::add(double milliseconds, std::uint32_t message)
{
    const std::vector<std::uint8_t> bytes = shortMessageBytes(message);
    if (!file_ || !error_.isEmpty())
        return false;
    if (bytes.empty())
        return true;
    const long long tick = std::max(lastTick_, tickOf(milliseconds));
    if (!append(trackEvent(tick - lastTick_, bytes), 0))
        return false;
    lastTick_ = tick;
    return true;
}

bool StandardMidiFile::end(double milliseconds)
{
    return file_ && error_.isEmpty() && append({}, std::max(0LL, tickOf(milliseconds) - lastTick_));
}

QByteArray StandardMidiFile::encode(const std::vector<TimedMessage>& messages, double endMilliseconds)
{
    QByteArray file = fileHead();
    long long last = 0;
    for (const TimedMessage& m : messages) {
        const std::vector<std::uint8_t> bytes = shortMessageBytes(m.message);
        if (bytes.empty())
            continue;
        const long long tick = std::max(last, tickOf(m.milliseconds));
        file += trackEvent(tick - last, bytes);
        last = tick;
    }
    file += endOfTrack(std::max(0LL, tickOf(endMilliseconds) - last));
    file.replace(kTrackLengthOffset, 4, bigEndian(static_cast<quint32>(file.size() - kTrackStart), 4));
    return file;
}

bool StandardMidiFile::append(const QByteArray& event, long long endDelta)
{
    const QByteArray end = endOfTrack(endDelta);
    const qint64 size = endPosition_ + event.size() + end.size();
    errno = 0;
    if (writeAt(endPosition_, event + end) && file_->resize(size)
        && writeAt(kTrackLengthOffset, bigEndian(static_cast<quint32>(size - kTrackStart), 4))) {
        endPosition_ += event.size();
        endOfTrack_ = end;
        return true;
    }
    error_ = errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : file_->errorString();
    // Back to the file as it was: the former end of track goes where it
    // stood (the space is the file's already), the length it had before.
    const qint64 before = endPosition_ + endOfTrack_.size();
    writeAt(endPosition_, endOfTrack_);
    file_->resize(before);
    writeAt(kTrackLengthOffset, bigEndian(static_cast<quint32>(before - kTrackStart), 4));
    return false;
}

bool StandardMidiFile::writeAt(qint64 position, const QByteArray& bytes)
{
    return file_->seek(position) && file_->write(bytes) == bytes.size();
}

TakeRecorder::TakeRecorder(
    std::unique_ptr<MidiOutput> inner, const QString& path, std::function<double()> now, FluidSynthDevice::Config synth)
    : ForwardingMidiOutput(std::move(inner))
    , path_(path)
    , now_(std::move(now))
    , synth_(std::move(synth))
{
    const auto format = takeFormatOf(path);
    if (!format)
        return;
    format_ = *format;
    if (format_ == TakeFormat::MidiFile) {
        midiFile_ = std::make_unique<StandardMidiFile>(path);
        recording_ = midiFile_->isOpen();
    } else {
        // The WAV file is written at the end; find out now that it can be.
        QFile file(path);
        recording_ = file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    }
}

TakeRecorder::~TakeRecorder()
{
    finish();
}

bool TakeRecorder::isRecording() const
{
    return recording_ && !finished_;
}

bool TakeRecorder::finish()
{
    if (!recording_ || finished_)
        return finishedWell_;
    finished_ = true;
    // A take ends when the device closes (the window closing, however the
    // program is stopped), or now if it is still open.
    const double end = isOpen() || closedAt_ < 0 ? now_() : closedAt_;
    if (format_ == TakeFormat::MidiFile) {
        if (writeError_.isEmpty() && !midiFile_->end(end))
            writeFailed(midiFile_->error());
        midiFile_.reset();
    } else {
        // Cut short, the file still holds a valid WAV file of what was
        // rendered: its sizes are written as it closes.
        if (!FluidSynthDevice::renderTake(synth_, take_, end, path_.toStdString()))
            writeFailed(QStringLiteral("the synthesizer could not render it whole"));
    }
    finishedWell_ = writeError_.isEmpty();
    return finishedWell_;
}

void TakeRecorder::setWriteErrorHandler(std::function<void(const QString&)> handler)
{
    onWriteError_ = std::move(handler);
    if (onWriteError_ && !writeError_.isEmpty())
        onWriteError_(writeError_);
}

void TakeRecorder::writeFailed(const QString& why)
{
    if (!writeError_.isEmpty())
        return;
    writeError_ = QStringLiteral("The take \"%1\" could not be written on (%2). What was played until then is kept.")
                      .arg(path_, why);
    writeToStandardError(QStringLiteral("clavora: %1\n").arg(writeError_));
    if (onWriteError_)
        onWriteError_(writeError_);
}

bool TakeRecorder::open(int device)
{
    const bool opened = inner().open(device);
    recordingOnly_ = !opened && device == 0 && isRecording();
    return opened || recordingOnly_;
}

void TakeRecorder::close()
{
    if (isOpen())
        closedAt_ = now_();
    inner().close();
    recordingOnly_ = false;
}

bool TakeRecorder::isOpen() const
{
    return inner().isOpen() || recordingOnly_;
}

bool TakeRecorder::send(std::uint32_t message)
{
    if (!isOpen())
        return inner().send(message);
    const double time = now_();
    const bool sent = recordingOnly_ ? !shortMessageBytes(message).empty() : inner().send(message);
    if (isRecording() && writeError_.isEmpty()) {
        if (midiFile_) {
            if (!midiFile_->add(time, message))
                writeFailed(midiFile_->error());
        } else {
            take_.push_back({time, message});
        }
    }
    return sent;
}

} // namespace clavora
