// The entry to a layered elastic analysis: the solver arrays built from the analysis
// records, one response evaluation per depth with the result file rewritten after each,
// the error handler that ends a run cleanly, and the subgrade back-calculation.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/analysis_input.h"
#include "analysis/lea_types.h"
#include "core/user_port.h"

namespace tavro::core {
struct ProgramState;
}

namespace tavro::analysis {

// Bond k at an interface from its interface value c and the modulus of layer 2:
// x = 10^(-c/E2), slip s = x/(1 - x + 1e-6) for c < 100000 (else 0), k = s*1.000001/(s + 1),
// at most 1. Before the weak-bond rule of LayeredSystemOf.
double InterfaceBondOf(double interfaceValue, double secondLayerModulus);

// The solver's layer arrays: h(0) = 0, h(N) = h(N-1), bottom depths D(0..N), and the bonds
// with the weak-bond rule (every interface with k < 0.1 gets 0.01 when it is the only one,
// 0.1 when there are two or more). Expects a structure that passed CheckAnalysisInput.
LayeredSystem LayeredSystemOf(const LeaStructure& structure);

// Layer (1..N) in which depth z (in) is evaluated: the deepest i with |z|*1.000001 >= D(i-1),
// one layer up for a negative z (the bottom of the layer above the interface), at least 1.
int LayerOfDepth(const LayeredSystem& system, double z);

// The load tables of the response routines: tire load GearLoad/TireCount, contact radius
// sqrt(load/pressure/pi), and every tire-to-point distance. Name and gross load are carried
// for the result file.
std::vector<GearLoads> GearLoadsOf(const std::vector<AnalysisGear>& gears);

// Why an input cannot be analysed (bad counts, non-positive or non-finite thickness,
// modulus, pressure or load, Poisson's ratio outside 0..0.5, unknown layer code, no
// evaluation depth, no aircraft, a gear without tires or points), or nullopt when it can.
std::optional<std::string> CheckAnalysisInput(const AnalysisInput& input);

enum class DriverStatus { Completed, ResultFileNotWritten };

// What an analysis computes besides its response kind.
struct AnalysisOptions {
    // Depth (in; negative: the bottom of the layer above that interface) of the horizontal
    // strain that a flexible run's asphalt criterion reads; unset for none.
    std::optional<double> horizontalStrainDepth;
};

// Evaluates `kind` at every depth of the structure in order, rows into `out` (cleared first).
// After each depth of a VerticalStrain or HorizontalStress run, "DAMTMP.DAT" in the program
// directory is rewritten (atomically; a failure goes through the file-error dialog and ends
// the analysis with ResultFileNotWritten). Throws AnalysisError on a fault of the solver;
// expects an input that passed CheckAnalysisInput. Only this module's entry points catch.
// With `options.horizontalStrainDepth` set, a VerticalStrain run first evaluates the
// HorizontalStrain at that depth and keeps it in out.horizontalStrain (and the result file).
DriverStatus NewLeaAnalysis(const core::ProgramState& state, core::UserPort& ui,
                            const AnalysisInput& input, ResponseKind kind, AnalysisOutput& out,
                            const AnalysisOptions& options = {});

// Response kind of a pavement type: 1, 2 -> VerticalStrain; 3, 10 or an existing rigid
// pavement -> HorizontalStress; nullopt for any other type (the previous kind stays).
std::optional<ResponseKind> ResponseKindOfPavement(int pavementType, bool existingPavement);

enum class AnalysisOutcome { Completed, BadInput, AnalysisFault, FileError };

struct AnalysisResult {
    AnalysisOutcome outcome = AnalysisOutcome::Completed;
    ResponseKind kind = ResponseKind::VerticalStrain;
    AnalysisOutput output;  // empty unless Completed
    std::int64_t elapsedMs = 0;
    std::string reason;  // why the run ended, for anything but Completed
};

inline constexpr std::string_view kAnalysisErrorTitle = "Analysis Error";

// One analysis of the current section with `input`. The kind comes from the section's
// pavement type (or `kindOverride`) and is remembered in LastResponseKind; the duration
// (ui.TickMs) is added to AnalysisTimeMs. Bad input and solver faults end the run: one
// "Analysis Error" message, DesignRunning cleared, no rows returned. A failed result file
// write (its dialog already shown) clears DesignRunning too. Never throws; the section is
// not changed.
// `options` as for NewLeaAnalysis.
AnalysisResult RunAnalysis(core::ProgramState& state, core::UserPort& ui,
                           const AnalysisInput& input,
                           std::optional<ResponseKind> kindOverride = std::nullopt,
                           const AnalysisOptions& options = {});

enum class BackCalcOutcome {
    Converged,     // relative modulus change below 0.001
    AtLowerBound,  // the iteration kept asking for less than 1000 psi
    AtUpperBound,  // the iteration kept asking for more than 100000 psi
    NotConverged,  // iteration cap reached
    FlatMisfit,    // the misfit slope does not change with the modulus: no Newton step
    BadInput,      // message shown
    AnalysisFault  // message shown
};

// The plate test the back-calculation fits: a load on a 12-inch plate (one circular load of
// radius 6 in) and the surface deflections at sensors 0, 12, 24, ..., 72 in from its centre,
// the usual deflectometer spacing of one foot.
inline constexpr std::array<double, 7> kSensorOffsetsIn{0, 12, 24, 36, 48, 60, 72};
inline constexpr std::array<double, 7> kStoredBasinMils{23.23, 7.12, 4.4, 2.1, 1.31, 0.92, 0.84};
inline constexpr double kStoredPlateLoadLbs = 9563;

struct BackCalcOptions {
    std::array<double, 7> basinMils = kStoredBasinMils;  // thousandths of an inch, by sensor
    double plateLoadLbs = kStoredPlateLoadLbs;
    // Called with every trial modulus of the bottom layer before its basin is computed, to
    // update the moduli that rest on it (aggregate layers); unset for none.
    std::function<void(double modulusPsi, LeaStructure& structure)> bottomModulusChanged;
    double relativeTolerance = 0.001;  // stop when |E_new - E|/E is below this
    double step = 0.01;                // relative modulus step of the finite differences
    double minModulusPsi = 1000;       // every new modulus is clamped to these bounds
    double maxModulusPsi = 100000;
    int maxIterations = 50;  // Newton steps before giving up
};

struct BackCalcResult {
    BackCalcOutcome outcome = BackCalcOutcome::NotConverged;
    double modulusPsi = 0;  // the last modulus, within the bounds
    int iterations = 0;     // Newton steps taken
    bool clamped = false;   // some step was clamped to a bound
    std::string reason;
    std::vector<double> fittedBasinMils;  // computed at the sensors for the final modulus
    double rmsMisfitMils = 0;             // root mean square of computed - measured
};

// The analysis input of the plate test on `structure`: the plate load as its own circular
// load (radius 6 in, the load's pressure) with evaluation points at the sensor offsets and a
// single depth at the surface. The design aircraft play no part.
AnalysisInput PlateLoadInput(const LeaStructure& structure, double loadLbs);

// Fits the bottom-layer modulus of `structure` to the basin of `options` under the plate
// load (PlateLoadInput). Newton iteration on the slope of the squared misfit with
// numerical derivatives; every new modulus is clamped to the bounds, and a run that asks
// twice in a row for a modulus beyond the same bound stops there. The computed basin at the
// answer and its RMS misfit come back with it. Bad input (also a basin or load that is not
// positive) and solver errors end it with the "Analysis Error" message. Changes nothing in
// the state.
BackCalcResult BackCalculateSubgrade(const core::ProgramState& state, core::UserPort& ui,
                                     const LeaStructure& structure,
                                     const BackCalcOptions& options = {});
// The same on the structure of a prepared analysis input; its aircraft play no part.
inline BackCalcResult BackCalculateSubgrade(const core::ProgramState& state, core::UserPort& ui,
                                            const AnalysisInput& input,
                                            const BackCalcOptions& options = {}) {
    return BackCalculateSubgrade(state, ui, input.structure, options);
}

}  // namespace tavro::analysis
