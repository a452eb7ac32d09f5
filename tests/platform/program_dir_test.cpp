// Where the programs keep their files without --dir.
#include "platform/program_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "support/temp_dir.h"

namespace tavro::platform {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for one test and restores it afterwards.
class EnvVar {
public:
    EnvVar(const char* name, const char* value) : name_(name), old_(Opt(std::getenv(name))) {
        Set(name, Opt(value));
    }
    ~EnvVar() { Set(name_, old_); }

private:
    static std::optional<std::string> Opt(const char* v) {
        return v ? std::optional<std::string>(v) : std::nullopt;
    }
    static void Set(const char* name, const std::optional<std::string>& value) {
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }
    const char* name_;
    std::optional<std::string> old_;
};

TEST(UserDataDir, FollowsXdgDataHomeOnlyWhenItIsAbsolute) {
    const EnvVar home("HOME", "/home/engineer");
    {
        const EnvVar xdg("XDG_DATA_HOME", "/srv/data/");
        EXPECT_EQ(UserDataDir(), "/srv/data/TAVRO");
    }
    for (const char* value : {"relative/data", "", static_cast<const char*>(nullptr)}) {
        const EnvVar xdg("XDG_DATA_HOME", value);
        EXPECT_EQ(UserDataDir(), "/home/engineer/.local/share/TAVRO") << (value ? value : "unset");
    }
}

TEST(IsInstalled, IsABinDirectoryBesideTheInstalledManual) {
    test::TempDir prefix;
    fs::create_directories(prefix.File("bin"));
    fs::create_directories(prefix.File("tools"));
    EXPECT_FALSE(IsInstalled(prefix.File("bin")));
    fs::create_directories(prefix.File("share/doc/tavro"));
    EXPECT_TRUE(IsInstalled(prefix.File("bin")));
    EXPECT_TRUE(IsInstalled(prefix.File("bin/")));
    EXPECT_TRUE(IsInstalled(prefix.File("tools/../bin")));
    EXPECT_FALSE(IsInstalled(prefix.File("tools")));  // a build tree beside an installation
}

TEST(IsWritableDirectory, ProbesWithoutLeavingAFile) {
    test::TempDir dir;
    EXPECT_TRUE(IsWritableDirectory(dir.path()));
    EXPECT_FALSE(IsWritableDirectory(dir.File("missing")));
    EXPECT_TRUE(fs::is_empty(dir.path())) << "no probe left behind, nothing created";
    dir.Write("file", "x");
    EXPECT_FALSE(IsWritableDirectory(dir.File("file")));
}

// A build tree and an installed program are checked through the installed command line.
TEST(DefaultProgramDir, AnUnwritableDirectoryFallsBackWithItsReason) {
    test::TempDir home;
    const std::string data = home.File("TAVRO");
    const auto first = DefaultProgramDir("/proc", data);
    EXPECT_EQ(first.dir, data);
    EXPECT_EQ(first.notice,
              "The directory /proc cannot be written to.\n\nJob and notes files are "
              "kept in " +
                  data + " instead.");
    EXPECT_EQ(DefaultProgramDir("/proc", data).notice, "");
    // A data directory that cannot be created is reported.
    home.Write("share", "a file where the directory should be");
    const std::string blocked = home.File("share/TAVRO");
    const auto choice = DefaultProgramDir("/proc", blocked);
    EXPECT_EQ(choice.dir, blocked);
    EXPECT_EQ(choice.notice.rfind("The directory " + blocked + " cannot be created: ", 0), 0u)
        << choice.notice;
    EXPECT_NE(choice.notice.find("Use --dir to choose the program directory."), std::string::npos);
}

}  // namespace
}  // namespace tavro::platform
