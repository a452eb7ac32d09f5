// The one place where double-precision arithmetic is narrowed to a stored field.
// Keeping every rounding point behind these helpers lets them be found and audited.
#pragma once

#include <cstdint>

namespace tavro::core {

// Rounds a double to the nearest single-precision value (as a store into a 32-bit field).
inline float Single(double value) { return static_cast<float>(value); }

// Converts to a 16-bit field; the caller guarantees the range.
inline std::int16_t Int16(long value) { return static_cast<std::int16_t>(value); }

// Slot, layer and aircraft numbers are 1-based (0 = none); containers are 0-based.
inline std::size_t SlotIndex(int oneBased) { return static_cast<std::size_t>(oneBased - 1); }

}  // namespace tavro::core
