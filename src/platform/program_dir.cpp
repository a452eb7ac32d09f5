#include "platform/program_dir.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace tavro::platform {

namespace fs = std::filesystem;

namespace {

std::string HomeDir() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

}  // namespace

std::string UserDataDir() {
    // A relative XDG_DATA_HOME is invalid and is ignored, as the desktop does.
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const fs::path base = xdg && *xdg == '/' ? fs::path(xdg) : fs::path(HomeDir()) / ".local/share";
    return (base / kDataFolderName).lexically_normal().string();
}

bool IsInstalled(const std::string& programFileDir) {
    std::error_code ec;
    const fs::path dir = fs::path(programFileDir).lexically_normal();
    const fs::path bin = dir.has_filename() ? dir : dir.parent_path();
    if (bin.filename() != "bin") return false;
    return fs::is_directory(bin.parent_path() / "share/doc/tavro", ec);
}

bool IsWritableDirectory(const std::string& dir) {
    std::error_code ec;
    if (dir.empty() || !fs::is_directory(dir, ec)) return false;
    std::string probe = (fs::path(dir) / "tavro-probe-XXXXXX").string();
    std::vector<char> name(probe.begin(), probe.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) return false;
    close(fd);
    unlink(name.data());
    return true;
}

ProgramDirChoice DefaultProgramDir(const std::string& programFileDir,
                                   const std::string& userDataDir) {
    const bool installed = IsInstalled(programFileDir);
    if (!installed && IsWritableDirectory(programFileDir)) return {programFileDir, {}};
    std::error_code ec;
    // Said once: the first use creates the directory, later ones find it.
    const bool firstUse = !fs::is_directory(userDataDir, ec);
    if (fs::create_directories(userDataDir, ec); ec)
        return {userDataDir, "The directory " + userDataDir + " cannot be created: " +
                                 ec.message() + ".\n\nUse --dir to choose the program directory."};
    if (!firstUse) return {userDataDir, {}};
    if (installed)
        return {userDataDir, "Job and notes files are kept in " + userDataDir +
                                 ".\n\nUse --dir to work in another directory."};
    return {userDataDir, "The directory " + programFileDir +
                             " cannot be written to.\n\nJob and notes files are kept in " +
                             userDataDir + " instead."};
}

}  // namespace tavro::platform
