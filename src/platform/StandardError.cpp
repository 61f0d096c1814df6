#include "StandardError.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <iostream>
#include <mutex>

#if defined(__unix__)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace clavora {

namespace {

std::mutex mutex;
int silences = 0;
// The stream as it was before the first silence, while one lasts.
int saved = -1;

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

StderrSilence::StderrSilence()
{
#if defined(__unix__)
    const std::lock_guard lock(mutex);
    if (silences++ > 0)
        return;
    flushStreams();
    saved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && null >= 0)
        ::dup2(null, STDERR_FILENO);
    if (null >= 0)
        ::close(null);
#endif
}

StderrSilence::~StderrSilence()
{
#if defined(__unix__)
    const std::lock_guard lock(mutex);
    if (--silences > 0 || saved < 0)
        return;
    flushStreams();
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    saved = -1;
#endif
}

void writeToStandardError(std::string_view text)
{
    const std::lock_guard lock(mutex);
#if defined(__unix__)
    flushStreams();
    writeAll(saved >= 0 ? saved : STDERR_FILENO, text);
#else
    writeAll(2, text);
#endif
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
