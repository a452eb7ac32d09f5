// The node-by-node evaluation of one depth (one coefficient solve and the single Bessel
// routines per node): the reference for the block evaluation in tests and benchmarks.
#pragma once

#include <vector>

#include "analysis/lea_types.h"
#include "analysis/numerical.h"
#include "core/user_port.h"

namespace tavro::analysis::reference {

void EvaluateDepthScalar(ResponseKind kind, LayeredSystem& system, const LaguerreRule& rule,
                         const std::vector<GearLoads>& gears, int layer, double depth,
                         AnalysisOutput& out, core::UserPort& ui);

}  // namespace tavro::analysis::reference
