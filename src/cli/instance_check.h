// Whether the desktop program is running on the same program directory: it holds a lock
// file there whose first line is its process id. The analysis files have fixed names in
// that directory, so only the first instance may run designs.
#pragma once

#include <string>

namespace tavro::cli {

inline constexpr const char* kInstanceLockName = "tavro.lock";

// True unless `programDir` (ending in '/') holds a lock file of a process that is alive.
bool IsFirstInstance(const std::string& programDir);

}  // namespace tavro::cli
