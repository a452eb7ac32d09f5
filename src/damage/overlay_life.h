// The life of an overlay on an existing rigid pavement: the existing slab uses up what is
// left of its first-crack life, then loses condition in stages while its cracked support
// wears the overlay out; the total life is the time until the overlay fails.
#pragma once

#include <functional>
#include <vector>

#include "core/program_state.h"
#include "core/user_port.h"

namespace tavro::damage {

// Condition stages the existing slab passes through from its SCI to 0.
inline constexpr int kConditionStages = 32;
// Horizon (years) of the first-crack search and of an overlay that outlives a fully cracked
// slab.
inline constexpr double kLifeHorizonYears = 10000;

// log10 of the coverages a slab of flexural strength `strength` takes under the design
// stress `stress` to fall to condition `sci` (factor line of the rigid model with F and c);
// 12 for a stress of 1e-7 psi or less. Uncapped.
double LogCoveragesAtSCI(double sci, double strength, double stress, double f, double c);

// Departures of `aircraft` between years t1 and t2 with its annual growth: the traffic
// a(1 + b t) stops where it would turn negative.
double DeparturesBetween(double t1, double t2, const core::DesignAircraft& aircraft);

// Coverages per pass of design aircraft i (1-based) at the critical position of the last
// rigid damage computation.
double CoveragesPerPassAtCritical(const core::ProgramState& state, int aircraft);

// Miner's damage between t1 and t2 at the critical position: the sum over the design
// aircraft (overload aircraft take no part) of departures x coverages per pass / allowable
// coverages (`allowable`, 0-based per aircraft).
double CDFBetween(const core::ProgramState& state, double t1, double t2,
                  const std::vector<double>& allowable);

// Design stresses (psi) per aircraft (0-based) and evaluation depth (0-based) from the
// result file, whose aircraft lines hold one line per depth, aircraft by aircraft.
struct OverlayStresses {
    std::vector<std::vector<double>> stress;
    bool readError = false;  // lines missing or unreadable: their stresses are 1000 psi
};
OverlayStresses ReadOverlayStresses(const core::ProgramState& state, core::UserPort& ui,
                                    int depths);

using Residual = std::function<double(double)>;

// Bisection root of f on [a, b] from the end residuals fa, fb: an end within the residual
// tolerance is the root; otherwise halves until |f(m)| <= residualTolerance or
// |b - m| <= intervalTolerance (or the interval cannot be halved any further).
double Bisect(double a, double b, double fa, double fb, double residualTolerance,
              double intervalTolerance, const Residual& f);

// Duration d whose residual (summed condition drop minus the drop wanted) is 0: from the
// guess, doubled while negative or halved while positive (at most 200 times; then the last
// trial is the answer) to bracket it, then bisection to 0.01 SCI points or 0.001 years.
double StageDuration(double guess, const Residual& residual);

struct OverlayLifeSettings {
    double terminalSci = 80;  // condition at which the overlay has failed
    double cdfu = 0;          // percent of the existing slab's first-crack life used up
};

enum class LifeTotalStatus {
    Computed,
    Stopped,  // DesignRunning was cleared (by the user or an analysis error)
    Error,    // message shown, DesignRunning cleared
};

struct LifeTotalResult {
    LifeTotalStatus status = LifeTotalStatus::Error;
    double totalLife = 0;  // years
    double residual = 0;   // totalLife - DesignLife
};

// Total life of the current section (overlay = layer 1, existing slab = layer 2) with an
// overlay `thicknessIn` thick, which is stored in layer 1. Expects the aircraft prepared and
// the rigid coverage table filled; fills state.Run.Damage (rigid CDF of the first analysis
// and Overlay). The existing slab's modulus is restored before returning. An overlay worn out
// before the existing slab cracks fails there (total life below T1, nothing added); one that
// outlasts the fully cracked slab up to the horizon gets the horizon as its life (LifeCapped).
LifeTotalResult LifeTotal(core::ProgramState& state, core::UserPort& ui, double thicknessIn,
                          const OverlayLifeSettings& settings);

// Layer 1 types: an asphalt overlay ("AC Overlay", or "Undefined"), and the concrete overlays
// that have an uncracked stage.
bool IsAsphaltOverlay(int layerType);
bool IsConcreteOverlay(int layerType);

}  // namespace tavro::damage
