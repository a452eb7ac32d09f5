#include "support/process.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tavro::test {

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string OutputPath(const char* what) {
    static std::atomic<int> counter{0};
    return (std::filesystem::temp_directory_path() /
            ("tavro-proc-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + what))
        .string();
}

}  // namespace

Process::Process(const std::string& program, const std::vector<std::string>& args,
                 const std::vector<std::string>& env)
    : outPath_(OutputPath(".out")), errPath_(OutputPath(".err")) {
    std::vector<std::string> argStore{program};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argStore) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStore = env;
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        int out = open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0) _exit(127);
        dup2(out, 1);
        dup2(err, 2);
        for (auto& e : envStore) putenv(e.data());
        execv(program.c_str(), argv.data());
        _exit(127);
    }
}

Process::~Process() {
    if (!done_) {
        kill(pid_, SIGKILL);
        Wait();
    }
    unlink(outPath_.c_str());
    unlink(errPath_.c_str());
}

bool Process::Running() {
    if (done_) return false;
    pid_t r = waitpid(pid_, &status_, WNOHANG);
    if (r == pid_) done_ = true;
    return !done_;
}

std::string Process::ErrSoFar() const { return Slurp(errPath_); }

Finished Process::Wait() {
    if (!done_) {
        while (waitpid(pid_, &status_, 0) < 0 && errno == EINTR) {
        }
        done_ = true;
    }
    Finished f;
    f.exitCode = WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
    f.out = Slurp(outPath_);
    f.err = Slurp(errPath_);
    return f;
}

Finished RunProcess(const std::string& program, const std::vector<std::string>& args,
                    const std::vector<std::string>& env) {
    Process p(program, args, env);
    return p.Wait();
}

}  // namespace tavro::test
