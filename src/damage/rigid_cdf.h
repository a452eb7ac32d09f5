// The rigid failure model: edge stress, design factor, allowable coverages for the SCI 80
// and first-crack conditions, and their damage over the lateral grid.
#pragma once

#include "core/program_state.h"
#include "core/user_port.h"

namespace tavro::damage {

// Fills state.Run.Damage.CoveragesPerPass for every design aircraft (wheels not merged).
void FillRigidCoverageTable(core::ProgramState& state, core::UserPort& ui);

// Factor F of the structure below the slab, from layer `firstLayer` (2 for a new rigid
// pavement, 3 for an overlay on an existing slab) down to the subgrade.
double BaseSubgradeFactor(const core::ProgramState& state, int firstLayer);

// The design (edge) stress of design aircraft `aircraft` (1-based) from its interior stress.
double AdjustEdgeStress(const core::ProgramState& state, int aircraft, double stress);

// The slab flexural strength R: LayerFlexStrength of the last layer with a positive one
// (0 when there is none).
double SlabFlexuralStrength(const core::CurrentSectionRecord& section);

struct RigidCdfResult {
    float cdf = 0;            // SCI 80 condition
    float firstCrackCdf = 0;  // percent
    int criticalPosition = 0;
    bool stressesTooLow = true;
    bool readError = false;  // message shown, DesignRunning cleared
};

// Reads the stresses of ProgramDir + "DAMTMP.DAT" (one line per aircraft after the header) and
// computes the results above; fills state.Run.Damage. A run evaluated at several depths holds
// `depthsPerAircraft` consecutive lines per aircraft; the line of the first depth is read.
RigidCdfResult ComputeRigidCDF(core::ProgramState& state, core::UserPort& ui,
                               int depthsPerAircraft = 1);

}  // namespace tavro::damage
