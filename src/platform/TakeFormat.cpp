#include "TakeFormat.h"

#include <QFileInfo>

namespace clavora {

std::optional<TakeFormat> takeFormatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("mid") || suffix == QLatin1String("midi"))
        return TakeFormat::MidiFile;
    if (suffix == QLatin1String("wav"))
        return TakeFormat::Wave;
    return std::nullopt;
}

} // namespace clavora
