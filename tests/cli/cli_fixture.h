// tavro-cli run in-process on a fresh directory, its output kept for the checks.
#pragma once

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "support/temp_dir.h"

namespace tavro::cli::testing {

class CliFixture : public ::testing::Test {
protected:
    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        args.insert(args.begin(), {"--dir", dir.path()});
        return RunCli(args, "/nonexistent", out, err);
    }
    nlohmann::json Json() { return nlohmann::json::parse(out.str()); }

    test::TempDir dir;
    std::ostringstream out, err;
};

}  // namespace tavro::cli::testing
