// In-place rewriting of the analysis files.
#include "analysis/scratch_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>

#include "core/file_io.h"

namespace tavro::analysis {

namespace {

int WriteFrom(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

}  // namespace

int WriteScratchFile(const std::string& path, std::string_view bytes) {
    // Not O_TRUNC: the file is never seen empty, and a rewrite of the same length (the
    // usual case between two design iterations) leaves its size alone.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return core::FileErrorNumberFromErrno(errno, path);
    int err = WriteFrom(fd, bytes);
    // Cut only what the old text had beyond the new one: a truncation to the same length
    // still costs the file system a metadata update on every rewrite.
    struct stat st {};
    if (err == 0 && fstat(fd, &st) != 0) err = errno;
    if (err == 0 && st.st_size > static_cast<off_t>(bytes.size()) &&
        ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) {
        err = errno;
    }
    const int closeErr = close(fd) != 0 ? errno : 0;
    if (err == 0) err = closeErr;
    return err == 0 ? 0 : core::FileErrorNumberFromErrno(err, path);
}

}  // namespace tavro::analysis
