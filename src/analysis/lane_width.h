// Which lane-vector width the solver's block routines use: one AVX-512 register where the
// processor has it, SSE2 pairs otherwise. Both give the same numbers; tests run both.
#pragma once

namespace tavro::analysis {

// True when the wide lanes are in use; a test may switch them off (and on again where the
// processor has them) to exercise the narrow ones.
bool WideLanes();
void SetWideLanes(bool wide);

}  // namespace tavro::analysis
