#include "core/startup.h"

#include "core/job_ops.h"
#include "core/program_state.h"
#include "core/section_ops.h"

namespace tavro::core {

std::string MainWindowTitle() {
    std::string title = "TAVRO - ";
    return title.append(kProgramTitle).append(" (").append(kProgramVersion).append(")");
}

std::string NormalizeProgramDir(std::string_view dir) {
    std::string out(dir);
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    if (out.empty()) out.assign(1, '.');  // not = ".": GCC 12 warns falsely (-Wrestrict)
    if (out != "/") out += '/';
    return out;
}

void InitLibraries(ProgramState& state) { state.Aircraft = library::BuildAircraftLibrary(); }

void StartProgram(ProgramState& state, UserPort& ui, std::string_view programDir,
                  bool firstInstance) {
    state.ProgramDir = NormalizeProgramDir(programDir);
    state.FirstInstance = firstInstance;
    state.DemoRunning = false;
    InitLibraries(state);
    state.CurrentSection = 1;
    FillJobList(state, ui);
    LoadSection(state, ui);
    ApplyUnits(state.Units, false);
}

}  // namespace tavro::core
