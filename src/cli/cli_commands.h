// The command-line program over the core: parses the command line, runs one command and
// returns the exit status (0 done, 1 refused or failed by the core, 2 usage error).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tavro::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitUsage = 2;

// `args` excludes the program name. `defaultDir` is the program directory used without
// --dir (the directory of the program file).
int RunCli(const std::vector<std::string>& args, const std::string& defaultDir, std::ostream& out,
           std::ostream& err);

}  // namespace tavro::cli
