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

inline bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class CliFixture : public ::testing::Test {
protected:
    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        args.insert(args.begin(), {"--dir", dir.path()});
        return RunCli(args, "/nonexistent", out, err);
    }
    nlohmann::json Json() { return nlohmann::json::parse(out.str()); }
    // A new job holding a copy of a sample section, under its own name or `as`.
    void NewJobWith(const std::string& job, const std::string& sample, const std::string& as = "") {
        ASSERT_EQ(Run({"new-job", job}), kExitOk);
        std::vector<std::string> copy{"copy", "Samples", sample, job};
        if (!as.empty()) copy.insert(copy.end(), {"--as", as});
        ASSERT_EQ(Run(copy), kExitOk) << err.str();
    }

    test::TempDir dir;
    std::ostringstream out, err;
};

}  // namespace tavro::cli::testing
