// Thickness design and life of a new flexible pavement: the design layer is adjusted until
// the subgrade CDF of all design aircraft is 1 over the design life.
#pragma once

#include "core/program_state.h"
#include "core/user_port.h"
#include "design/design_common.h"

namespace tavro::design {

inline constexpr std::string_view kFlexibleDesignTitle = "Flexible Pavement Design";

// Designs (or, in life mode, finds the life of) the current section, a new flexible pavement,
// adjusting layer state.Run.DesignLayer (the layer above it when minimums bind). Expects
// DesignRunning set and the run state reset by the caller; leaves DesignRunning set when
// it finishes normally and clears it when it gives up (its message shown through
// ShowRunError), is stopped, or meets a run fault (runError set, no message: the run
// controller reports it). Every way out moves DAMTMP.DAT to DAMTMPSG.DAT and sets
// AsphaltCDF to -1. The section keeps the thicknesses of the last iteration.
RunSummary DesignNewFlexible(core::ProgramState& state, core::UserPort& ui, RunMode mode,
                             const DesignOptions& options = {});

}  // namespace tavro::design
