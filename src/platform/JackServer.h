#pragma once

namespace clavora {

// Whether a JACK server answers, asked without ever starting one. Quick
// either way: no server means no socket to connect to.
bool jackServerRuns();

} // namespace clavora
