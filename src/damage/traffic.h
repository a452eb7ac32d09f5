// Traffic: coverages per pass across the lateral grid from the wander of each aircraft's
// gear, and the normal probability they are built from.
#pragma once

#include "core/program_state.h"

namespace tavro::damage {

inline constexpr float kWanderSigma = 30.475f;  // in, standard deviation of lateral wander
inline constexpr double kGridSpacing = 10.0;    // in, between grid positions

// Lateral position (in) of grid position j = 1..41.
inline double GridX(int j) { return kGridSpacing * (j - 1); }

// Probability that a normal variable of mean 0 and standard deviation `sigma` lies between
// lo and hi, with the four-panel midpoint rule and end correction; single precision.
float NormalProbability(double lo, double hi, double sigma);

// Coverages per pass of design aircraft `aircraft` (1-based, current section, prepared)
// at lateral position x (in) for a response at `depth` (in; sign ignored): repetition
// factor of tandem axles times the probability mass of the effective (merged) tires.
float PassToCoverage(const core::ProgramState& state, int aircraft, double x, double depth);

}  // namespace tavro::damage
