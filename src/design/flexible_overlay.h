// Thickness design and life of an asphalt overlay on an existing flexible pavement: the
// overlay (layer 1) is adjusted until the subgrade CDF of all design aircraft is 1 over the
// design life, and the overlay's own damage is then taken from the tensile strain at its
// bottom.
#pragma once

#include <string>
#include <string_view>

#include "core/program_state.h"
#include "core/user_port.h"
#include "design/design_common.h"

namespace tavro::design {

inline constexpr std::string_view kFlexibleOverlayTitle = "Flexible Over Flexible Design";

// The overlay's life is found when |CDF - 1| falls below this (coarser than a new flexible
// pavement's).
inline constexpr double kFlexibleOverlayLifeTolerance = 0.01;

// Designs (or, in life mode, finds the life of) the current section, an asphalt overlay on a
// flexible pavement, adjusting the thickness of layer 1 (state.Run.DesignLayer is set to 1).
// Expects DesignRunning set and the run state reset by the caller; leaves DesignRunning set
// when it finishes normally and clears it when it gives up (its message shown through
// ShowRunError), is stopped, or meets a run fault (runError set, no message: the run
// controller reports it). Every way out moves DAMTMP.DAT to DAMTMPSG.DAT. A run that ends
// with DesignRunning still set then analyses the section once more for the horizontal strain
// at the bottom of the overlay (written into that analysis's DAMTMP.DAT) and stores the
// asphalt CDF over the design life in AsphaltCDF; otherwise AsphaltCDF is -1. The damage
// tables and the aircraft departures are those of the subgrade run, not of that last
// analysis. The section keeps the overlay thickness of the last iteration.
RunSummary DesignFlexibleOverlay(core::ProgramState& state, core::UserPort& ui, RunMode mode,
                                 const DesignOptions& options = {});

struct OverlayAsphalt {
    AnalysisStepStatus status = AnalysisStepStatus::Failed;  // Analysed: `cdf` holds it
    float cdf = 0;
    std::string reason;  // for anything but Analysed
};

// The asphalt CDF of the current section over its design life, from the horizontal strain
// at the bottom of analysis layer 1: one analysis evaluated there (with the current
// sublayering switch), then the asphalt criterion. Leaves that analysis's DAMTMP.DAT and
// damage tables, and the aircraft departures of the design life. A refused aggregate
// structure, a refused or faulted analysis, a stop or an unreadable result file end it as a
// design iteration would (message, DesignRunning cleared). Expects DesignRunning set.
OverlayAsphalt ComputeOverlayAsphaltCdf(core::ProgramState& state, core::UserPort& ui);

}  // namespace tavro::design
