// Moduli of unbound aggregate layers: a thick aggregate layer is split into sublayers
// whose moduli grow upwards from their support, and the analysis layer list and the
// evaluation depth of the next analysis are derived from the section.
#pragma once

#include <array>

#include "analysis/analysis_input.h"
#include "core/user_port.h"

namespace tavro::core {
struct ProgramState;
struct RunState;
}  // namespace tavro::core

namespace tavro::damage {

// An aggregate layer is split into at most this many sublayers with computed moduli.
inline constexpr int kMaxSublayers = 15;

// Sublayer moduli (psi), 1-based: entries 1..n are the sublayers from the top, entry n + 1
// the supporting modulus. Entry 0 is unused.
using SublayerModuli = std::array<float, 17>;

struct AggregateModuli {
    SublayerModuli base{};     // "Ag Crushed"
    SublayerModuli subbase{};  // "Ag Uncrushed"
};

enum class ModulusThickStatus {
    Computed,
    NotAggregate,      // the type is neither aggregate base nor subbase: nothing changed
    TooManySublayers,  // more than 15 sublayers: the count is remembered, no moduli computed
    InvalidValue,      // thickness or support modulus not positive and finite: no moduli
};

struct SublayerSplit {
    ModulusThickStatus status = ModulusThickStatus::Computed;
    int count = 0;           // number of sublayers n
    double thicknessIn = 0;  // sublayer thickness h/n
};

// Splits an aggregate layer of `thicknessIn` and layer type `type` resting on a layer of
// `supportModulusPsi`: n = ceil(h/h_max) (1 when h <= h_max), or the count last used for
// this kind of layer while the sublayering switch is on and |ln CDF| <= 0.345, so that the
// layering stops changing near convergence. The count is remembered in `run`. Moduli go
// into the base or subbase array of `moduli`:
// E(j) = E(j+1)*(1 + a*log10 t - b*log10 E(j+1)*log10 t), j = n..1, E(n+1) = support,
// each kept between E(j+1) and the equilibrium modulus 10^(a/b) of the rule (where it
// leaves the modulus unchanged), so a stiff support never drives it to zero or below.
SublayerSplit ModulusThick(core::RunState& run, double thicknessIn, int type,
                           double supportModulusPsi, AggregateModuli& moduli);

enum class AggregateStatus { Ok, InvalidStructure };

struct AggregateResult {
    AggregateStatus status = AggregateStatus::Ok;
    bool sublayered = false;  // the base or the subbase has more than one sublayer
    AggregateModuli moduli;
    SublayerSplit base, subbase;  // count 0 when the section has no such layer
};

// Applies the aggregate structure rules to the current section (one aggregate base, one
// aggregate subbase, base above subbase; otherwise a message titled "Calculating Modulus
// in Design", InvalidStructure, and nothing changed), computes the sublayer moduli
// (subbase first; a base directly on the subbase rests on the subbase's top sublayer),
// replaces each aggregate layer's section modulus by the mean of its sublayer moduli,
// and rebuilds `list`: with the sublayering switch on, each aggregate layer contributes its
// sublayers, otherwise the section layers map one to one. The evaluation depth follows
// the pavement type: 1, 2 -> 1.0001 x the thickness above the subgrade; 3, 10 -> minus the
// thickness of analysis layer 1; other types keep the depths already in `list`.
// An aggregate layer without a layer below it is taken as it is. A layer whose moduli
// cannot be computed (more than 15 sublayers, a non-positive thickness or support) keeps
// its section modulus and its sublayers carry it: with the switch on the list then exceeds
// 16 layers, and a non-positive value is refused by the analysis. A mean that is not a
// positive number is not stored in the section (the analysis refuses the list instead).
AggregateResult CalculateAggregateModuli(core::ProgramState& state, core::UserPort& ui,
                                         analysis::AnalysisLayerList& list);

}  // namespace tavro::damage
