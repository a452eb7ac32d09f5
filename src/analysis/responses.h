// Response evaluation at one depth: the Hankel-transform integrals over the Gauss-Laguerre
// rule, the superposition of the tires of each gear, the kept value per aircraft, and the
// result file "DAMTMP.DAT".
#pragma once

#include <string>
#include <vector>

#include "analysis/lea_types.h"
#include "analysis/numerical.h"
#include "core/user_port.h"

namespace tavro::analysis {

// Evaluates `kind` at depth `depth` (in, >= 0) in layer `layer` (1..N) for every gear and
// appends a row to `out` (and sets out.pointValues). `system.thickness[0]` is set and reset
// as the evaluation needs. Pending events are processed once per quadrature node through
// `ui`. Throws AnalysisError on non-finite arithmetic.
void EvaluateDepth(ResponseKind kind, LayeredSystem& system, const LaguerreRule& rule,
                   const std::vector<GearLoads>& gears, int layer, double depth,
                   AnalysisOutput& out, core::UserPort& ui);

// Text of "DAMTMP.DAT" for a VerticalStrain or HorizontalStress run (CR LF lines): the
// strain layout holds the current (last) row, the stress layout every row so far. Other
// kinds write no result file and give "". A strain file whose output carries horizontal
// strains writes each aircraft's in place of its converged node (".00000000E+00", width 17).
std::string FormatResultFile(ResponseKind kind, const LayeredSystem& system,
                             const std::vector<GearLoads>& gears, const AnalysisOutput& out);

}  // namespace tavro::analysis
