// Whole-file reads and atomic replacement of files. The only place in the core that uses
// the POSIX file layer: the error numbers shown to the user need the real errno, and an
// atomic save needs a flushed, closed temporary file renamed over the target.
#include "core/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <system_error>

namespace tavro::core {

namespace {

std::string ParentDirectory(const std::string& path) {
    std::string::size_type slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool IsDirectory(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

// A name beside the target that no other writer uses: the process id, a counter and the
// clock make collisions unlikely; O_EXCL makes them harmless.
std::string TemporaryName(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    unsigned long long stamp = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    unsigned long long mix = stamp ^ (static_cast<unsigned long long>(getpid()) << 32) ^
                             (static_cast<unsigned long long>(counter++) * 0x9E3779B97F4A7C15ULL);
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, mix % 2176782336ULL, 36).ptr;
    return path + ".tmp-" + std::string(digits, end);
}

// Opens a fresh temporary file; mode 0666 lets the umask decide, as for any new file.
int OpenTemporary(const std::string& path, std::string& tempPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = TemporaryName(path);
        int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// The replacement keeps the permissions of the file it replaces.
void CopyPermissions(const std::string& path, int fd) {
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) fchmod(fd, st.st_mode & 07777);
}

int WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// The rename itself must survive a power cut too; a directory that refuses fsync is
// no reason to report a save that has already happened as failed.
void SyncDirectory(const std::string& path) {
    int dfd = open(ParentDirectory(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return;
    fsync(dfd);
    close(dfd);
}

// Writes, flushes and closes the temporary file; returns 0 or an errno value. The
// descriptor is closed in every case.
int FillTemporary(int fd, std::string_view bytes, const WriteFaults* faults,
                  Durability durability) {
    int err = faults && faults->atWrite ? faults->atWrite : WriteAll(fd, bytes);
    if (err == 0 && durability == Durability::Durable && fsync(fd) != 0) err = errno;
    int closeErr = close(fd) != 0 ? errno : 0;
    if (faults && faults->atClose) closeErr = faults->atClose;
    return err != 0 ? err : closeErr;
}

}  // namespace

ReadResult ReadWholeFile(const std::string& path) {
    ReadResult result;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        result.error = FileErrorNumberFromErrno(errno, path);
        return result;
    }
    char buffer[65536];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            result.error = FileErrorNumberFromErrno(errno, path);
            result.bytes.clear();
            break;
        }
        if (n == 0) break;
        result.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return result;
}

int WriteFileAtomically(const std::string& path, std::string_view bytes,
                        const WriteFaults* faults, Durability durability) {
    std::string tempPath;
    int fd = OpenTemporary(path, tempPath);
    if (fd < 0) return FileErrorNumberFromErrno(errno, path);
    CopyPermissions(path, fd);

    int err = FillTemporary(fd, bytes, faults, durability);
    if (err == 0) {
        if (faults && faults->atRename) {
            err = faults->atRename;
        } else if (rename(tempPath.c_str(), path.c_str()) != 0) {
            err = errno;
        }
    }
    if (err != 0) {
        unlink(tempPath.c_str());
        return FileErrorNumberFromErrno(err, path);
    }
    if (durability == Durability::Durable) SyncDirectory(path);
    return 0;
}

int FileErrorNumberFromErrno(int err, const std::string& path) {
    switch (err) {
        case ENOENT: return IsDirectory(ParentDirectory(path)) ? 53 : 76;
        case ENOTDIR: return 76;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR: return 54;
        case EBUSY:
        case ETXTBSY: return 55;
        case ENOSPC:
        case EDQUOT:
        case EIO: return 57;
        case ENAMETOOLONG:
        case EINVAL:
        case EILSEQ: return 64;
        case ENXIO:
        case ENODEV: return 68;
        default: return 75;
    }
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

}  // namespace tavro::core
