#include "core/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/file_error.h"
#include "core/file_io.h"
#include "core/messages.h"
#include "core/program_state.h"

namespace tavro::core {

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        Release();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

FileLock::Result FileLock::Acquire(const std::string& path, Wait wait, int* error,
                                   std::string* detail) {
    Release();
    auto fail = [&](int number, std::string why) {
        if (error) *error = number;
        if (detail) *detail = std::move(why);
        return Result::Error;
    };
    // O_NONBLOCK: a FIFO in the lock file's place must not hang the open.
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) return fail(FileErrorNumberFromErrno(errno, path), {});
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return fail(54, "It is not a regular file.");
    }
    int op = LOCK_EX | (wait == Wait::NoWait ? LOCK_NB : 0);
    while (flock(fd, op) != 0) {
        if (errno == EINTR) continue;
        const int err = errno;
        close(fd);
        if (err == EWOULDBLOCK) return Result::Busy;
        return fail(FileErrorNumberFromErrno(err, path), {});
    }
    fd_ = fd;
    return Result::Locked;
}

void FileLock::Release() {
    if (fd_ < 0) return;
    close(fd_);  // closing the last descriptor of the open file drops the lock
    fd_ = -1;
}

bool LockRuns(const ProgramState& state, UserPort& ui, FileLock& lock, FileLock::Wait wait,
              std::string_view refusalHint, const std::function<void()>& onWait) {
    const std::string path = state.ProgramDir + std::string(kRunLockName);
    int error = 0;
    std::string detail;
    auto result = lock.Acquire(path, FileLock::Wait::NoWait, &error, &detail);
    if (result == FileLock::Result::Busy) {
        if (wait == FileLock::Wait::NoWait) {
            ShowMessage(
                state, ui,
                JoinLines({"Another run is using the analysis files in " + state.ProgramDir + ".",
                           refusalHint}),
                Buttons::Ok, "Running");
            return false;
        }
        if (onWait) onWait();
        result = lock.Acquire(path, FileLock::Wait::Block, &error, &detail);
    }
    if (result == FileLock::Result::Locked) return true;
    ReportFileError(state, ui, error, path, FileOperation::Writing, detail);
    return false;
}

}  // namespace tavro::core
