#include "StandardError.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <iostream>
#include <mutex>

#if defined(__unix__)
#include <unistd.h>
#endif

namespace clavora {

namespace {

std::mutex mutex;

void writeAll(int fd, std::string_view text)
{
#if defined(__unix__)
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written <= 0)
            return;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
#else
    (void)fd;
    std::fwrite(text.data(), 1, text.size(), stderr);
#endif
}

void flushStreams()
{
    std::fflush(stderr);
    std::cerr.flush();
}

} // namespace

void writeToStandardError(std::string_view text)
{
    const std::lock_guard lock(mutex);
    flushStreams();
    writeAll(2, text);
}

void writeToStandardError(const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    writeToStandardError(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void routeQtMessagesToStandardError()
{
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        const QString line = qFormatLogMessage(type, context, text);
        if (!line.isEmpty())
            writeToStandardError(line + QLatin1Char('\n'));
    });
}

} // namespace clavora
