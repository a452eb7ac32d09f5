// Preloaded into a program under test (LD_PRELOAD): fails the Nth write, fsync, close or
// rename on a regular file with an errno of the test's choice, as a full or failing disk
// would. TAVRO_FAULT_AT=N picks the call (1-based), TAVRO_FAULT_ERRNO the error (ENOSPC
// by default) and TAVRO_FAULT_FIRED names a file created when the fault was injected, so
// that the test knows when N has passed the last call. With TAVRO_FAULT_KILL set the
// program is killed (SIGKILL) at that call instead, as by a power cut or kill -9.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

long callCount = 0;

long Target() {
    static long target = [] {
        const char* at = std::getenv("TAVRO_FAULT_AT");
        return at ? std::atol(at) : -1L;
    }();
    return target;
}

int FaultErrno() {
    const char* e = std::getenv("TAVRO_FAULT_ERRNO");
    return e ? std::atoi(e) : ENOSPC;
}

bool IsRegular(int fd) {
    struct stat st;
    return fd > 2 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

// Counts one call; true when this is the one to fail.
bool Hit() {
    if (Target() < 0 || ++callCount != Target()) return false;
    if (const char* fired = std::getenv("TAVRO_FAULT_FIRED")) {
        const long fd = syscall(SYS_openat, AT_FDCWD, fired, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0) syscall(SYS_close, fd);
    }
    if (std::getenv("TAVRO_FAULT_KILL")) raise(SIGKILL);
    return true;
}

template <typename F>
F Real(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

ssize_t write(int fd, const void* buf, size_t n) {
    static auto real = Real<ssize_t (*)(int, const void*, size_t)>("write");
    if (IsRegular(fd) && Hit()) {
        errno = FaultErrno();
        return -1;
    }
    return real(fd, buf, n);
}

int fsync(int fd) {
    static auto real = Real<int (*)(int)>("fsync");
    if (IsRegular(fd) && Hit()) {
        errno = FaultErrno();
        return -1;
    }
    return real(fd);
}

// Like the kernel on a failed close: the descriptor is gone all the same.
int close(int fd) {
    static auto real = Real<int (*)(int)>("close");
    if (IsRegular(fd) && Hit()) {
        real(fd);
        errno = FaultErrno();
        return -1;
    }
    return real(fd);
}

int rename(const char* from, const char* to) {
    static auto real = Real<int (*)(const char*, const char*)>("rename");
    if (Hit()) {
        errno = FaultErrno();
        return -1;
    }
    return real(from, to);
}

}  // extern "C"
