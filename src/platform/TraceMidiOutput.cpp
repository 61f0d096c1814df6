#include "TraceMidiOutput.h"
#include "MidiConstants.h"

#include <QFile>

namespace clavora {

TraceMidiOutput::TraceMidiOutput(std::unique_ptr<MidiOutput> inner, const QString& path, QElapsedTimer start)
    : TraceMidiOutput(*inner, path, start)
{
    owned_ = std::move(inner);
}

TraceMidiOutput::TraceMidiOutput(MidiOutput& inner, const QString& path, QElapsedTimer start)
    : inner_(inner)
    , file_(std::make_unique<QFile>(path))
    , start_(start)
{
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        file_.reset();
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
        .arg(QString::number(milliseconds, 'f', 3), hex(midi::statusOf(message)),
             hex(midi::data1Of(message)), hex(midi::data2Of(message)))
        .toStdString();
}

int TraceMidiOutput::deviceCount() const
{
    return inner_.deviceCount();
}

std::string TraceMidiOutput::deviceName(int device) const
{
    return inner_.deviceName(device);
}

void TraceMidiOutput::refresh()
{
    inner_.refresh();
}

bool TraceMidiOutput::open(int device)
{
    return inner_.open(device);
}

void TraceMidiOutput::close()
{
    inner_.close();
}

bool TraceMidiOutput::isOpen() const
{
    return inner_.isOpen();
}

bool TraceMidiOutput::send(std::uint32_t message)
{
    if (!inner_.isOpen())
        return inner_.send(message);
    const double milliseconds = static_cast<double>(start_.nsecsElapsed()) / 1e6;
    const bool sent = inner_.send(message);
    if (file_) {
        file_->write((formatLine(milliseconds, message) + '\n').c_str());
        file_->flush();
    }
    return sent;
}

} // namespace clavora
