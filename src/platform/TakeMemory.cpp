#include "TakeMemory.h"
#include "AtomicFile.h"
#include "MidiConstants.h"
#include "TakeRecorder.h"

#include <QTemporaryDir>

#include <algorithm>

namespace clavora {

namespace {

bool isNoteOn(std::uint32_t message)
{
    return (midi::statusOf(message) & 0xF0) == midi::kNoteOn && midi::data2Of(message) > 0;
}

// What a dropped message leaves in force, keyed so that a later one of the
// same kind replaces it; none for notes and the like.
std::optional<std::uint32_t> settingKey(std::uint32_t message)
{
    const int status = midi::statusOf(message);
    switch (status & 0xF0) {
    case midi::kProgramChange:
        return static_cast<std::uint32_t>(status);
    case midi::kControlChange:
        return static_cast<std::uint32_t>(status | (midi::data1Of(message) << 8));
    default:
        return std::nullopt;
    }
}

} // namespace

TakeMemory::TakeMemory(std::unique_ptr<MidiOutput> inner, std::function<double()> now, std::size_t capacity)
    : ForwardingMidiOutput(std::move(inner))
    , now_(std::move(now))
    , capacity_(std::max<std::size_t>(capacity, 1))
{
}

TakeMemory::TakeMemory(MidiOutput& inner, std::function<double()> now, std::size_t capacity)
    : ForwardingMidiOutput(inner)
    , now_(std::move(now))
    , capacity_(std::max<std::size_t>(capacity, 1))
{
}

bool TakeMemory::send(std::uint32_t message)
{
    if (!inner().isOpen())
        return inner().send(message);
    const double time = now_();
    const bool sent = inner().send(message);
    const std::lock_guard lock(mutex_);
    if (kept_.size() == capacity_) {
        const std::uint32_t dropped = kept_.front().message;
        if (const auto key = settingKey(dropped))
            settings_[*key] = dropped;
        if (isNoteOn(dropped))
            --notes_;
        kept_.pop_front();
    }
    kept_.push_back({time, message});
    if (isNoteOn(message))
        ++notes_;
    return sent;
}

bool TakeMemory::hasNotes() const
{
    const std::lock_guard lock(mutex_);
    return notes_ > 0;
}

void TakeMemory::forget()
{
    const std::lock_guard lock(mutex_);
    // The instruments and controllers in force stay, so that the next take
    // sounds as it was played.
    for (const TimedMessage& m : kept_)
        if (const auto key = settingKey(m.message))
            settings_[*key] = m.message;
    kept_.clear();
    notes_ = 0;
}

std::size_t TakeMemory::size() const
{
    const std::lock_guard lock(mutex_);
    return kept_.size();
}

std::vector<TimedMessage> TakeMemory::take() const
{
    const std::lock_guard lock(mutex_);
    const auto first
        = std::find_if(kept_.begin(), kept_.end(), [](const TimedMessage& m) { return isNoteOn(m.message); });
    const double start = first == kept_.end() ? 0 : first->milliseconds;
    std::vector<TimedMessage> take;
    take.reserve(settings_.size() + kept_.size());
    for (const auto& [key, message] : settings_)
        take.push_back({0, message});
    for (const TimedMessage& m : kept_)
        take.push_back({std::max(0.0, m.milliseconds - start), m.message});
    return take;
}

QString TakeMemory::save(
    const QString& path, const FluidSynthDevice::Config& synth, const std::atomic<bool>* stop) const
{
    const auto format = takeFormatOf(path);
    if (!format)
        return QStringLiteral("the name must end in .mid or .wav");
    const std::vector<TimedMessage> messages = take();
    const double last = messages.empty() ? 0 : messages.back().milliseconds;
    // A MIDI file is small enough to be made in memory (the bound's take is
    // about 4 MB) and written whole.
    if (*format == TakeFormat::MidiFile)
        return saveFileAtomically(path, StandardMidiFile::encode(messages, last));
    // The renderer wants a file name: it writes beside the system's other
    // temporary files, and the result is copied into place whole.
    QTemporaryDir folder;
    if (!folder.isValid())
        return QStringLiteral("no temporary folder: %1").arg(folder.errorString());
    const QString scratch = folder.filePath(QStringLiteral("take.wav"));
    // The take's times count from its first note: the moment of saving on
    // that clock bounds the tail.
    double end = last + kWaveTailMs;
    {
        const std::lock_guard lock(mutex_);
        const auto first
            = std::find_if(kept_.begin(), kept_.end(), [](const TimedMessage& m) { return isNoteOn(m.message); });
        if (first != kept_.end())
            end = std::min(end, std::max(last, now_() - first->milliseconds));
    }
    if (!FluidSynthDevice::renderTake(synth, messages, end, scratch.toStdString(), stop))
        return stop && stop->load()
            ? QStringLiteral("it was stopped")
            : QStringLiteral("the synthesizer could not render it (no SoundFont, or the temporary folder is full)");
    return copyFileAtomically(scratch, path);
}

} // namespace clavora
