#pragma once
#include <QStringList>

namespace clavora {

// The 47 drum keys by name, in pad order, as the drum-key editor lists them:
// "Z", "X", ... "Enter", "Q", ... "BackSpace".
QStringList drumKeyNames();

} // namespace clavora
