#pragma once
// Recording what is played: `clavora --record take.mid` or `--record take.wav`.
#include "FluidSynthDevice.h"
#include "ForwardingMidiOutput.h"
#include "TakeFormat.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QFile;

namespace clavora {

// The command line with "--record FILE" (or "--record=FILE") taken out
// wherever it stands; the rest keeps its meaning.
struct RecordArguments {
    QString path;
    QStringList rest;
    // Set when the option is given wrongly; nothing is recorded then.
    QString error;
};
RecordArguments takeRecordArguments(const QStringList& arguments);

// How long ago, in milliseconds, this process was started (to the system
// clock's tick, 10 ms at most), so that a take lasts from the launch of the
// program; 0 when the system does not tell.
double processAgeMs();

// A Standard MIDI File of format 0 written while it grows: one track, one
// tempo, one tick per millisecond. After every message the file on disk is
// complete, so a take survives however the program ends. When a write fails
// (a full disk, a file size limit), the file is put back as it was after the
// last message that went in whole, and nothing more is added.
class StandardMidiFile {
public:
    static constexpr int kTicksPerQuarter = 500;
    static constexpr int kMicrosecondsPerQuarter = 500000;

    explicit StandardMidiFile(const QString& path);
    ~StandardMidiFile();
    StandardMidiFile(const StandardMidiFile&) = delete;
    StandardMidiFile& operator=(const StandardMidiFile&) = delete;

    // False when the file could not be created with its header.
    bool isOpen() const;
    // Set once a write has failed: why.
    QString error() const { return error_; }
    // Adds a channel message at this time (earlier times count as the
    // last one's). Messages that are not valid channel messages are left out.
    // False when the message could not be written.
    bool add(double milliseconds, std::uint32_t message);
    // Places the end of the track at this time, if it is later than the
    // last message. False when that could not be written.
    bool end(double milliseconds);

    // The whole file for messages already known, made in memory at once:
    // the same bytes as adding them one by one and ending the track at
    // `endMilliseconds`.
    static QByteArray encode(const std::vector<TimedMessage>& messages, double endMilliseconds);

private:
    // Writes `event` and a new end of track after the last event, and the
    // track's new length in the header.
    bool append(const QByteArray& event, long long endDelta);
    bool writeAt(qint64 position, const QByteArray& bytes);

    std::unique_ptr<QFile> file_;
    long long lastTick_ = 0;
    qint64 endPosition_ = 0;
    QByteArray endOfTrack_;
    QString error_;
};

// A MIDI output that records, with its time, every message handed to the
// open device, into a MIDI file or, through the synthesizer's offline
// renderer, a WAV file. With nothing to play through, device 0 still opens
// to record alone.
class TakeRecorder final : public ForwardingMidiOutput {
public:
    // `now` gives the milliseconds since the take started; `synth` is what
    // renders a WAV file.
    TakeRecorder(std::unique_ptr<MidiOutput> inner, const QString& path, std::function<double()> now,
        FluidSynthDevice::Config synth);
    ~TakeRecorder() override;
    TakeRecorder(const TakeRecorder&) = delete;
    TakeRecorder& operator=(const TakeRecorder&) = delete;

    // False when the file cannot be written: nothing is recorded then.
    bool isRecording() const;
    // Ends the take and completes the file (a WAV file is rendered here).
    // The take ends when the device was last closed, or now when it is
    // open. Later messages are not recorded. False when it failed.
    bool finish();
    // True when device 0 is open for recording only.
    bool isRecordingOnly() const { return recordingOnly_; }
    // Called once, with a sentence saying so, when the take cannot be
    // written on (what was recorded until then stays a valid file); stderr
    // is told at once. Given after the failure, it is called at once.
    void setWriteErrorHandler(std::function<void(const QString&)> handler);

    bool open(int device) override;
    void close() override;
    bool isOpen() const override;
    bool send(std::uint32_t message) override;

private:
    void writeFailed(const QString& why);

    QString path_;
    TakeFormat format_ = TakeFormat::MidiFile;
    std::function<double()> now_;
    FluidSynthDevice::Config synth_;
    std::unique_ptr<StandardMidiFile> midiFile_;
    std::vector<TimedMessage> take_;
    bool recording_ = false;
    bool recordingOnly_ = false;
    bool finished_ = false;
    bool finishedWell_ = false;
    double closedAt_ = -1;
    QString writeError_;
    std::function<void(const QString&)> onWriteError_;
};

} // namespace clavora
