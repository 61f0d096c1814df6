#include "JackServer.h"
#include "StandardError.h"

#include <jack/jack.h>

namespace clavora {

bool jackServerRuns()
{
    StderrSilence quiet; // libjack explains on stderr why it could not connect
    jack_status_t status {};
    jack_client_t* client = jack_client_open("clavora-probe", JackNoStartServer, &status);
    if (!client)
        return false;
    jack_client_close(client);
    return true;
}

} // namespace clavora
