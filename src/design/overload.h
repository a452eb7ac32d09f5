// The overload check of the Life command: whether one heavy aircraft, marked in the design
// list, can make its departures on top of the regular traffic within the damage budget.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/program_state.h"
#include "core/user_port.h"
#include "design/run_controller.h"

namespace tavro::design {

// Message boxes of the overload check carry the program's name.
inline constexpr std::string_view kOverloadTitle = "TAVRO";
// The regular traffic may use at most this CDF; the total at most 1.
inline constexpr double kRegularTrafficBudget = 0.9;

// 1-based number of the first design aircraft whose OverloadFlag is set, 0 when none.
int OverloadAircraftOf(const core::CurrentSectionRecord& section);

// The message shown at the end of the check (lines joined by CR LF): "CDF > 0.9, ..." when
// the second run did not happen, else "Overload Possible." or "Overload Not Possible." with
// c0 and c as "##0.00" and the overload departures in their shortest text ("250", "12.5").
std::string OverloadMessage(const OverloadFigures& figures);

// One life run of the current section as it stands (the design command in life mode).
using LifeRunner = std::function<RunResult()>;

// The overload check for design aircraft `aircraft` (1-based, its OverloadFlag set):
//  1. a life run with the aircraft left out (its flag set): c0, the CDF at the design life;
//  2. c0 > 0.9 ends with "CDF > 0.9, No overload is possible.";
//  3. otherwise a second life run with the aircraft counted at constant annual departures
//     (flag cleared, growth 0): c1; c = c0 + c1 / DesignLife; the verdict message.
// Overlays on rigid pavements (types 11-13) are refused with a message before any run: their
// life runs give the life of the overlay, not a CDF at the design life. A life run that does
// not end with that CDF (refused, stopped, run error) ends the check without a verdict.
// The design aircraft list is put back exactly as it was, whichever way the check ends.
// Returns the first life run's result (status Refused for a refusal) with `overload` filled
// when a verdict was reached; the times cover both runs.
RunResult OverloadAnalysis(core::ProgramState& state, core::UserPort& ui, int aircraft,
                           const RunOptions& options = {});
// The same with the life runs supplied by the caller.
RunResult OverloadAnalysis(core::ProgramState& state, core::UserPort& ui, int aircraft,
                           const LifeRunner& lifeRun);

}  // namespace tavro::design
