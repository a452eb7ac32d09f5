// tavro-cli: the command-line program over the TAVRO core.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"

int main(int argc, char** argv) {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) exe = std::filesystem::absolute(argv[0], ec);
    const std::string defaultDir = exe.has_parent_path() ? exe.parent_path().string() : ".";
    std::vector<std::string> args(argv + 1, argv + argc);
    return tavro::cli::RunCli(args, defaultDir, std::cout, std::cerr);
}
