// Thickness design and life of a rigid pavement (new rigid, and PCC on a flexible
// pavement): the slab is adjusted until the CDF of the edge stress is 1 over the design life.
#pragma once

#include "core/program_state.h"
#include "core/user_port.h"
#include "design/design_common.h"

namespace tavro::design {

inline constexpr std::string_view kRigidDesignTitle = "Rigid Pavement Design";

// Designs (or, in life mode, finds the life of) the current section, adjusting the slab
// (layer 1) and, when minimums bind, layer 2. Expects DesignRunning set and the run state
// reset by the caller; leaves DesignRunning set when it finishes normally and clears it when
// it gives up (message shown through ShowRunError), is stopped, or meets a run fault
// (runError set, no message: the run controller reports it). The first-crack CDF of a
// life run is the one at the design life. Thicknesses of the last iteration are kept.
RunSummary DesignRigid(core::ProgramState& state, core::UserPort& ui, RunMode mode,
                       const DesignOptions& options = {});

}  // namespace tavro::design
