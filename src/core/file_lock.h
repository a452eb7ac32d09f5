// Exclusive locks between programs working on one program directory: a lock file held
// with flock(), which the kernel releases when the holder ends, however it ends.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/user_port.h"

namespace tavro::core {

// Lock of the job and notes files of a program directory: held from re-reading the files
// of a change to its last rename.
inline constexpr std::string_view kSaveLockName = "tavro-save.lock";
// Lock of the analysis files of a program directory: held for a whole run.
inline constexpr std::string_view kRunLockName = "tavro-run.lock";

class FileLock {
public:
    FileLock() = default;
    ~FileLock() { Release(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    FileLock(FileLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileLock& operator=(FileLock&& other) noexcept;

    enum class Wait { Block, NoWait };
    enum class Result { Locked, Busy, Error };

    // Opens (creating) the lock file without blocking and takes the lock. With NoWait a
    // lock held by another program gives Busy at once. Error: the lock file could not be
    // opened or is not a regular file (a FIFO or a device in its place); `error` then
    // holds a file error number and `detail` the reason.
    Result Acquire(const std::string& path, Wait wait, int* error = nullptr,
                   std::string* detail = nullptr);
    bool Held() const { return fd_ >= 0; }
    void Release();

private:
    int fd_ = -1;
};

struct ProgramState;

// Takes the run lock of the program directory for a run that writes the analysis files.
// Without waiting, a lock held by another program is refused with a message ("Running"),
// `refusalHint` ending its text; when waiting, `onWait` is called once before the wait.
// A lock file that cannot be used is reported. Returns true when the lock is held.
bool LockRuns(const ProgramState& state, UserPort& ui, FileLock& lock, FileLock::Wait wait,
              std::string_view refusalHint = "Try again when it has finished.",
              const std::function<void()>& onWait = {});

}  // namespace tavro::core
