#include "StandardStreams.h"

#if defined(__unix__)
#include <cerrno>
#include <initializer_list>

#include <fcntl.h>
#include <unistd.h>
#endif

namespace clavora {

void openClosedStandardStreams()
{
#if defined(__unix__)
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free descriptor is this one: the lower ones are open.
        const int null = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
    }
#endif
}

} // namespace clavora
