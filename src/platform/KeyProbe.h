#pragma once
#include <cstdint>
#include <functional>
#include <optional>

namespace clavora {

// Whether the key with this native scan code is down right now; nothing when
// the platform cannot tell.
using KeyProbe = std::function<std::optional<bool>(std::uint32_t nativeScanCode)>;

} // namespace clavora
