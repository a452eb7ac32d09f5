// Where a program keeps its job, notes and analysis files when no --dir is given.
//
// Run from a build tree, that is the directory of the program file, as it always was. An
// installed program (bin/ beside share/doc/tavro/) lives in a system directory that the
// user cannot, or as root should not, write: it uses the user's data directory instead.
#pragma once

#include <string>

namespace tavro::platform {

// Name of the program's folder inside the user's data directory; the desktop program's
// Qt application name, so that both programs share one directory.
inline constexpr const char* kDataFolderName = "TAVRO";

// $XDG_DATA_HOME/TAVRO when XDG_DATA_HOME is an absolute path, else
// $HOME/.local/share/TAVRO (HOME from the password database when unset).
std::string UserDataDir();

// True when `programFileDir` is the bin/ directory of an installation: its parent holds
// share/doc/tavro/ (installed with the programs).
bool IsInstalled(const std::string& programFileDir);

// True when files can be created in the existing directory `dir`. Asks the file system by
// creating one, since permission bits say nothing about read-only mounts.
bool IsWritableDirectory(const std::string& dir);

struct ProgramDirChoice {
    std::string dir;     // the directory to work in
    std::string notice;  // what to tell the user ("" when nothing needs saying)
};

// The program directory used without --dir: `programFileDir` when the program is not
// installed and that directory is writable, else `userDataDir`, created when missing.
// Where the user data directory is used, the notice says so the first time only (when it
// had to be created).
ProgramDirChoice DefaultProgramDir(const std::string& programFileDir,
                                   const std::string& userDataDir);

}  // namespace tavro::platform
