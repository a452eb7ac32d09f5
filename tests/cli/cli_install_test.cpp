// An installed tavro-cli: version, help and manual page, and its default program directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

#include "cli/cli_commands.h"
#include "cli/cli_fixture.h"
#include "core/startup.h"
#include "support/temp_dir.h"

namespace tavro::cli {
namespace {

namespace fs = std::filesystem;

struct Output {
    int status;
    std::string out, err;
};

Output Cli(const std::vector<std::string>& args,
           const std::string& programFileDir = "/nonexistent") {
    std::ostringstream out, err;
    const int status = RunCli(args, programFileDir, out, err);
    return {status, out.str(), err.str()};
}

// The command names of the help's subcommand list.
std::set<std::string> HelpCommands(const std::string& help) {
    std::set<std::string> names;
    std::istringstream lines(help.substr(help.find("Subcommands:")));
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line) && !line.empty()) {
        std::string name;
        std::istringstream(line) >> name;
        names.insert(name);
    }
    return names;
}

TEST(CliInstall, VersionAndHelpAndManualPageListingEveryCommand) {
    EXPECT_EQ(Cli({"--version"}).out, "tavro-cli " + std::string(core::kProgramVersion) + "\n");
    const auto help = Cli({"--help"});
    ASSERT_EQ(help.status, kExitOk);
    const auto man = Cli({"--man"});
    ASSERT_EQ(man.status, kExitOk);
    const auto listed = HelpCommands(help.out);
    EXPECT_GE(listed.size(), 13u);
    for (std::string command : listed) {
        EXPECT_EQ(Cli({command, "--help"}).status, kExitOk) << command;
        for (auto at = command.find('-'); at != std::string::npos; at = command.find('-', at + 2))
            command.insert(at, "\\");
        EXPECT_NE(man.out.find(".TP\n\\fB" + command + "\\fR"), std::string::npos) << command;
    }
}

TEST(CliInstall, ManualPageDescribesArgumentsAndOptions) {
    const std::string man = Cli({"--man"}).out;
    EXPECT_TRUE(man.starts_with(".TH \"TAVRO-CLI\" \"1\" \"\" \"TAVRO " +
                                std::string(core::kProgramVersion) + "\" \"User Commands\"\n"));
    EXPECT_TRUE(testing::Has(man,
                             ".TP\n\\fBdesign\\fR \\fIJOB\\fR [\\fISECTION\\fR] [\\fIOPTIONS\\fR]\n"
                             "Design a section (or every section with --all)\n.RS\n"));
    EXPECT_TRUE(testing::Has(
        man, ".TP\n\\fB\\-\\-dir\\fR \\fIDIR\\fR\nProgram directory holding the job files\n"));
    EXPECT_EQ(man.find("\\-\\-man"), std::string::npos) << "the build's own option is hidden";
    EXPECT_EQ(Cli({"--help"}).out.find("--man"), std::string::npos);
}

class InstalledCli : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(prefix.File("bin"));
        fs::create_directories(prefix.File("share/doc/tavro"));
        if (const char* old = std::getenv("XDG_DATA_HOME")) oldXdg = old;
        setenv("XDG_DATA_HOME", home.path().c_str(), 1);
    }
    void TearDown() override {
        if (oldXdg.empty())
            unsetenv("XDG_DATA_HOME");
        else
            setenv("XDG_DATA_HOME", oldXdg.c_str(), 1);
    }
    std::string Data() const { return home.File("TAVRO"); }

    test::TempDir prefix, home;
    std::string oldXdg;
};

TEST_F(InstalledCli, WorksInTheUserDataDirectoryAndSaysWhereOnFirstUse) {
    const auto first = Cli({"jobs"}, prefix.File("bin"));
    EXPECT_EQ(first.status, kExitOk);
    EXPECT_EQ(first.out, "Samples\n");
    EXPECT_EQ(first.err, "Program Directory: Job and notes files are kept in " + Data() +
                             ".\n\nUse --dir to work in another directory.\n"
                             "No Job Files: There are no job files\nin directory " +
                             Data() + "/.\n");
    // The sample job designs there; nothing is written beside the program.
    const auto design = Cli({"design", "Samples", "NewFlexible"}, prefix.File("bin"));
    EXPECT_EQ(design.status, kExitOk) << design.err;
    EXPECT_TRUE(fs::exists(Data() + "/VORNA.STR"));
    EXPECT_TRUE(fs::is_empty(prefix.File("bin")));
}

}  // namespace
}  // namespace tavro::cli
