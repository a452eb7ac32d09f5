// Other programs in the test: tavro-cli started as a separate process, as a user (or a
// script) would start several at once on one program directory.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tavro::test {

struct Finished {
    int exitCode = -1;  // -1: killed by a signal
    std::string out;
    std::string err;
};

class Process {
public:
    // Starts `program` with `args`; `env` entries ("NAME=value") are added to the
    // environment. Output goes to files until Wait() collects it.
    Process(const std::string& program, const std::vector<std::string>& args,
            const std::vector<std::string>& env = {});
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // True while the process has not ended.
    bool Running();
    // The stderr written so far.
    std::string ErrSoFar() const;
    Finished Wait();

private:
    pid_t pid_ = -1;
    int status_ = 0;
    bool done_ = false;
    std::string outPath_, errPath_;
};

// Starts and waits.
Finished RunProcess(const std::string& program, const std::vector<std::string>& args,
                    const std::vector<std::string>& env = {});

}  // namespace tavro::test
