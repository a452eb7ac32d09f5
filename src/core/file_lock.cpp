#include "core/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/file_io.h"

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

}  // namespace tavro::core
