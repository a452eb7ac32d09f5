// What the design and life procedures share: their options, the summary they return, the
// run-error report, one analysis of the current section, layer minimums and the secant
// search for the life of a structure.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "analysis/analysis_input.h"
#include "core/messages.h"
#include "core/program_state.h"
#include "core/user_port.h"

namespace tavro::design {

enum class RunMode { Design, Life };

enum class DesignOutcome {
    Converged,        // design: |ln CDF| below the tolerance; life: |CDF - 1| below it (or life 0)
    MinimumReached,   // minimum thicknesses reached with CDF < 1 (message shown)
    Interrupted,      // DesignRunning was cleared by the user's stop
    NoConvergence,    // iteration bound, or the damage grows with thickness (message shown)
    NoFiniteLife,     // life: the CDF does not reach 1 however long the traffic runs
    ResponsesTooLow,  // life: the responses are below the failure model's range (message shown)
    Error,            // aggregate structure, analysis or result file refused, or a run fault
};

// "converged", "minimumReached", ... for reports and the command line.
std::string_view OutcomeName(DesignOutcome outcome);

struct DesignOptions {
    // Design converged when |ln CDF| falls below this.
    double convergence = 0.005;
    // Aggregate layers are analysed as sublayers once |ln CDF| falls below this.
    double sublayeringThreshold = 0.69;
    // Finite-difference step of the Newton iteration, as a fraction of the layer thickness.
    double trialStep = 0.01;
    // Flexible: a Newton step taken after more than this many iterations ends the design.
    int newtonIterationLimit = 25;
    // Any design: no analysis iteration starts beyond this count, whatever the step rule
    // (doubling, halving, the sublayering restart and the rigid design have no other bound).
    int maxIterations = 100;
    // Life: the first trial life is this multiple of the design life.
    double firstTrialLifeFactor = 1.1;
    // Life found when |CDF - 1| falls below this (flexible and rigid differ).
    double flexibleLifeTolerance = 0.001;
    double rigidLifeTolerance = 0.01;
    // Life: a previous trial life below this (years) gives a life of 0.
    double smallestLife = 0.0001;
    // Life: no more secant steps than this.
    int maxLifeSteps = 100;
};

// What a design or life run leaves behind besides the section and state.Run.Damage.
struct RunSummary {
    RunMode mode = RunMode::Design;
    DesignOutcome outcome = DesignOutcome::Error;
    int iterations = 0;  // analysis iterations (state.Run.IterationCount)
    float cdf = 0;       // the displayed CDF: of the last design iteration, or at the design life
    float firstCrackCdf = 0;  // rigid, percent
    float life = 0;           // years (life mode); +infinity for NoFiniteLife
    int lifeSteps = 0;        // secant steps of the life search
    int runError = 0;  // run-time fault number (5, 6, 11, ...) for the run-error report, 0 none
    bool messageShown = false;  // a run-error report was shown (the end-of-run beep is suppressed)
    std::string why;            // why the run stopped, in words
};

using core::JoinLines;

// The run-error report offered to the procedures: processes pending events, shows the
// message with an OK button and clears DesignRunning.
void ShowRunError(core::ProgramState& state, core::UserPort& ui, std::string_view text,
                  std::string_view title);

// Title and text of the run-error message for a run-time fault number: 11 and 6 "Division by
// zero.", 5 the non-numeric argument, anything else "Unanticipated Error" with its number.
struct RunErrorText {
    std::string title;
    std::string text;
};
RunErrorText RunErrorMessage(int number);

// A run-time fault inside a procedure (the number of the run-error message). Thrown and
// caught within the procedure, which ends with outcome Error and runError set.
struct RunFault {
    int number = 0;
    std::string why;
};
// ln CDF; RunFault 5 for a CDF that has no logarithm (0, negative or not finite).
double LnCdf(double cdf);
// Newton step -L0*step/dL of the thickness; RunFault 11 when dL is 0.
double NewtonStep(double lnCdf0, double step, double lnCdfChange);
// Stores a new thickness; RunFault 6 when it is not a finite single-precision value.
void SetThickness(core::SectionLayer& layer, double thicknessIn);

// Minimum thickness (in) of a layer's type; 0 for an invalid type code.
float MinThicknessOf(const core::SectionLayer& layer);
// The layer has exactly the minimum thickness of its type.
bool AtMinimum(const core::SectionLayer& layer);
// Halves the thickness, raising it to the type's minimum if it falls below.
void HalveToMinimum(core::SectionLayer& layer);

// A CDF as the messages show it ("0.000").
std::string FormatCdf(double cdf);

enum class AnalysisStepStatus {
    Analysed,        // responses written to DAMTMP.DAT, DesignRunning still set
    AggregateError,  // the aggregate structure was refused: the run-error report is shown
    Stopped,         // DesignRunning cleared by the user during the analysis
    Failed,          // too many layers, the input not written, or the analysis refused the
                     // input or faulted (its message shown)
};

struct AnalysisStep {
    AnalysisStepStatus status = AnalysisStepStatus::Failed;
    bool sublayered = false;  // an aggregate layer was split into sublayers
    double depth = 0;         // evaluation depth of the analysis, in
    std::string reason;       // for Failed
};

// One analysis of the current section as every design iteration prepares it: aircraft,
// aggregate moduli (an error ends with "Error computing aggregate Modulus" under
// `procedureTitle`), the analysis input files, a redraw and the analysis.
AnalysisStep AnalyseCurrentSection(core::ProgramState& state, core::UserPort& ui,
                                   std::string_view procedureTitle);

// Sets every design aircraft's TotalDepartures for a period of `years`.
void SetDeparturesForPeriod(core::ProgramState& state, double years);

// CDF of the current responses with the departures of a trial life.
struct LifeCdf {
    double cdf = 0;
    bool responsesTooLow = false;  // the failure model's criterion flag
    bool readError = false;        // the result file could not be read (DesignRunning cleared)
};

enum class LifeStatus { Found, ZeroLife, TooLow, NoFiniteLife, StepLimit, Stopped, ReadError };

struct LifeSearch {
    LifeStatus status = LifeStatus::Found;
    float life = 0;  // years; the last secant estimate (kept when the search stops early)
    int steps = 0;
};

// The secant search for the period whose CDF is 1, from the CDF at the design life:
// t0 = design life, t = factor x design life; each step sets the departures of t, takes its
// CDF and moves t0, t along the secant until |CDF - 1| < tolerance. A CDF that does not
// change between two trial lives and stays at or below 1 means the damage never reaches 1
// (NoFiniteLife); one that stays above 1 halves the trial life. Bounded by maxLifeSteps.
LifeSearch SearchLife(core::ProgramState& state, double designLife, double cdfAtDesignLife,
                      double tolerance, const DesignOptions& options,
                      const std::function<LifeCdf()>& cdfOfCurrentDepartures);

// Records the end of a life search in `summary` (life, steps, outcome, why) and shows its
// message under "Computing Life": `tooLowLine` + "to accurately compute life." for responses
// below the model's range, or the no-finite-life or step-limit message.
void ConcludeLife(core::ProgramState& state, core::UserPort& ui, const DesignOptions& options,
                  const LifeSearch& search, std::string_view tooLowLine, RunSummary& summary);

inline constexpr std::string_view kComputingLifeTitle = "Computing Life";

}  // namespace tavro::design
