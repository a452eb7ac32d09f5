// Whole-file reads and atomic replacement of files. The only place in the core that uses
// the POSIX file layer: the error numbers shown to the user need the real errno, and an
// atomic save needs a flushed, closed temporary file renamed over the target.
#include "core/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
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

constexpr std::string_view kTemporaryMark = ".tmp-";
constexpr std::size_t kTagLength = 6;  // base-36 digits of the random part
constexpr std::size_t kNameLimit = NAME_MAX;

std::string BaseName(const std::string& path) {
    std::string::size_type slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Directory part including its '/', "" for a bare name.
std::string DirectoryPart(const std::string& path) {
    std::string::size_type slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The temporary names of a target share this prefix. A name that is already near the
// file-name limit is shortened, so that every file that can be read can also be saved.
std::string TemporaryPrefix(const std::string& path) {
    std::string base = BaseName(path);
    const std::size_t room = kNameLimit - kTemporaryMark.size() - kTagLength;
    if (base.size() > room) base.resize(room);
    return base.append(kTemporaryMark);
}

bool IsTag(std::string_view text) {
    if (text.size() != kTagLength) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'))) return false;
    return true;
}

// A name beside the target that no other writer uses: the process id, a counter and the
// clock make collisions unlikely; O_EXCL makes them harmless.
std::string TemporaryName(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    unsigned long long stamp = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    unsigned long long mix = stamp ^ (static_cast<unsigned long long>(getpid()) << 32) ^
                             (static_cast<unsigned long long>(counter++) * 0x9E3779B97F4A7C15ULL);
    // Six base-36 digits, zero-padded: 36^6 = 2176782336 names.
    std::string tag(kTagLength, '0');
    unsigned long long n = mix % 2176782336ULL;
    for (std::size_t i = kTagLength; i-- > 0; n /= 36)
        tag[i] = "0123456789abcdefghijklmnopqrstuvwxyz"[n % 36];
    return TemporaryNameFor(path, tag);
}

// Temporary files of this target that a killed save left behind. Runs under the lock
// that serializes saves of the file, so no other save is using one of them.
void RemoveStaleTemporaries(const std::string& path, const std::string& keep) {
    const std::string dir = DirectoryPart(path);
    const std::string prefix = TemporaryPrefix(path);
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (d == nullptr) return;
    while (dirent* e = readdir(d)) {
        std::string_view name(e->d_name);
        if (!name.starts_with(prefix) || !IsTag(name.substr(prefix.size()))) continue;
        const std::string full = dir + std::string(name);
        if (full == keep) continue;
        struct stat st;
        if (lstat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode)) unlink(full.c_str());
    }
    closedir(d);
}

// A target that exists must be a regular file the user may write: the rename would
// replace a read-only file (or whatever stands in its place) without asking. root passes
// access(), so the write bits are checked as well.
int CheckTarget(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return errno == ENOENT ? 0 : errno;
    if (!S_ISREG(st.st_mode)) return EISDIR;
    if ((st.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0) return EACCES;
    return 0;
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

ReadResult ReadWholeFile(const std::string& path, std::size_t limit) {
    ReadResult result;
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer forever.
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        result.error = FileErrorNumberFromErrno(errno, path);
        return result;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        result.error = 54;
        result.detail = S_ISDIR(st.st_mode) ? "It is a directory." : "It is not a regular file.";
        close(fd);
        return result;
    }
    if (static_cast<unsigned long long>(st.st_size) > limit) {
        result.error = 54;
        result.detail = "It holds " + std::to_string(st.st_size) + " bytes, more than the " +
                        std::to_string(limit) + " such a file can hold.";
        close(fd);
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
        // The file may grow while it is read; the limit holds all the same.
        if (result.bytes.size() + static_cast<std::size_t>(n) > limit) {
            result.error = 54;
            result.detail =
                "It grew past the " + std::to_string(limit) + " bytes such a file can hold.";
            result.bytes.clear();
            break;
        }
        result.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return result;
}

int WriteFileAtomically(const std::string& path, std::string_view bytes, const WriteFaults* faults,
                        Durability durability) {
    if (int refused = CheckTarget(path)) return FileErrorNumberFromErrno(refused, path);
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
    RemoveStaleTemporaries(path, tempPath);
    return 0;
}

std::string TemporaryNameFor(const std::string& path, std::string_view tag) {
    return DirectoryPart(path) + TemporaryPrefix(path) + std::string(tag);
}

int RemoveRegularFile(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return FileErrorNumberFromErrno(errno, path);
    if (!S_ISREG(st.st_mode)) return 54;
    if (unlink(path.c_str()) != 0) return FileErrorNumberFromErrno(errno, path);
    return 0;
}

int FileErrorNumberFromErrno(int err, const std::string& path) {
    switch (err) {
        case ENOENT:
            return IsDirectory(ParentDirectory(path)) ? 53 : 76;
        case ENOTDIR:
            return 76;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return 54;
        case EBUSY:
        case ETXTBSY:
            return 55;
        case ENOSPC:
        case EDQUOT:
            return 57;
        case ENAMETOOLONG:
        case EINVAL:
        case EILSEQ:
            return 64;
        case ENXIO:
        case ENODEV:
            return 68;
        // EIO included: a failing device is not a full disk.
        default:
            return 75;
    }
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

}  // namespace tavro::core
