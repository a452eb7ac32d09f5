// The start-up sequence of the program, shared by every front end.
#pragma once

#include <string>
#include <string_view>

#include "core/user_port.h"

namespace tavro::core {

struct ProgramState;

inline constexpr std::string_view kProgramVersion = "V1.2";
inline constexpr std::string_view kProgramTitle = "Airport Pavement Design";

// "TAVRO - " + descriptive title + " (" + version + ")".
std::string MainWindowTitle();

// Returns `dir` with exactly one trailing '/'.
std::string NormalizeProgramDir(std::string_view dir);

// Builds the libraries (the aircraft library; the layer library is a constant table).
void InitLibraries(ProgramState& state);

// The whole start-up: program directory, instance flag, libraries, the job list with
// "Samples" opened, the first section loaded, English units.
void StartProgram(ProgramState& state, UserPort& ui, std::string_view programDir,
                  bool firstInstance);

}  // namespace tavro::core
