#include "cli/instance_check.h"

#include <signal.h>

#include <cerrno>
#include <charconv>

#include "core/file_io.h"

namespace tavro::cli {

bool IsFirstInstance(const std::string& programDir) {
    const core::ReadResult lock = core::ReadWholeFile(programDir + kInstanceLockName);
    if (lock.error != 0) return true;
    long pid = 0;
    const auto end = lock.bytes.find_first_of("\r\n");
    const std::string_view first = std::string_view(lock.bytes).substr(0, end);
    const auto [ptr, ec] = std::from_chars(first.data(), first.data() + first.size(), pid);
    if (ec != std::errc() || ptr != first.data() + first.size() || pid <= 0) return true;
    // A lock left by a crashed instance names a process that is gone.
    return kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

}  // namespace tavro::cli
