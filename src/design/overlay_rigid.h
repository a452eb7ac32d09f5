// Design and life of an overlay on an existing rigid pavement (unbonded or partially bonded
// concrete, or asphalt): the overlay thickness whose total life, by the overlay life model,
// equals the design life.
#pragma once

#include "core/program_state.h"
#include "core/user_port.h"
#include "damage/overlay_life.h"
#include "design/design_common.h"

namespace tavro::design {

inline constexpr std::string_view kOverlayOnRigidTitle = "Overlay on Rigid Design";

struct OverlayOnRigidOptions {
    double thicknessStep = 4;     // in, the stepping towards a bracket
    double lifeTolerance = 0.04;  // years, |total life - design life|
    int maxSteps = 200;           // thickness steps before giving up
    // No overlay is made thicker than this (in): the design gives up there, saying so.
    double largestThickness = 40;
    int maxInterpolations = 100;  // passes of the bracket search before giving up
};

// The life model's settings for the current section: the existing slab counts as cracked
// (CDFU 100) when its SCI is below 100, and the overlay's terminal SCI is 80 for concrete,
// 58 for asphalt on an aggregate layer 3 and 40 for asphalt on anything else.
damage::OverlayLifeSettings OverlaySettingsOf(const core::CurrentSectionRecord& section);

// Minimum overlay thickness (in) of the section's overlay kind.
float MinimumOverlayThickness(const core::CurrentSectionRecord& section);

// The next overlay thickness between bracket ends (h, r = total life - design life),
// linear in ln(life); the midpoint where that is undefined (a life of 0 or less, equal
// lives) or falls outside the bracket (a life that does not grow with the thickness).
double InterpolateThickness(double ha, double ra, double hb, double rb, double designLife);

// Designs layer 1 of the current section (or, in life mode, computes its total life once).
// Expects DesignRunning set. The total life is summary.life and, with its parts,
// state.Run.Damage.Overlay; summary.cdf is the rigid CDF of the last analysis at the design
// life. Errors of the life model show their own message; the search limits show theirs.
RunSummary DesignOverlayOnRigid(core::ProgramState& state, core::UserPort& ui, RunMode mode,
                                const OverlayOnRigidOptions& options = {});

}  // namespace tavro::design
