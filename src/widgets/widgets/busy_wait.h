#pragma once
// A wait that handles no events, for the click flashes of the painted buttons.

#include <cstdint>

namespace pmkest {

// Spins on the monotonic clock without handling any events; used for the short click flashes.
void BusyWait(uint32_t milliseconds);

}  // namespace pmkest
