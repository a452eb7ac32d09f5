// Shared steps of the design and life procedures.
#include "design/design_common.h"

#include <cmath>
#include <limits>

#include "analysis/lea_driver.h"
#include "core/messages.h"
#include "core/narrow.h"
#include "core/number_format.h"
#include "core/section_ops.h"
#include "damage/aggregate_modulus.h"
#include "library/aircraft_library.h"
#include "library/layer_library.h"

namespace tavro::design {

std::string_view OutcomeName(DesignOutcome outcome) {
    switch (outcome) {
        case DesignOutcome::Converged:
            return "converged";
        case DesignOutcome::MinimumReached:
            return "minimumReached";
        case DesignOutcome::Interrupted:
            return "interrupted";
        case DesignOutcome::NoConvergence:
            return "noConvergence";
        case DesignOutcome::NoFiniteLife:
            return "noFiniteLife";
        case DesignOutcome::ResponsesTooLow:
            return "responsesTooLow";
        case DesignOutcome::Error:
            return "error";
    }
    return "error";
}

void ShowRunError(core::ProgramState& state, core::UserPort& ui, std::string_view text,
                  std::string_view title) {
    ui.ProcessPendingEvents();
    core::ShowMessage(state, ui, text, core::Buttons::Ok, title);
    state.Run.DesignRunning = false;
}

RunErrorText RunErrorMessage(int number) {
    if (number == 11 || number == 6)
        return {"Math Error", JoinLines({"Division by zero.", "Please make a note of all section",
                                         "data and report the error."})};
    if (number == 5)
        return {"Math Error",
                JoinLines({"Tried to perform a math operation", "with nonnumeric argument(s).",
                           "Please make a note of all section", "data and report the error."})};
    const std::string numberLine = "The error number is " + core::FormatMask(number, "0") + ".";
    return {"Unanticipated Error",
            JoinLines({"An unanticipated error has occurred.", "Please make a note of all section",
                       "data and report the error.", "", numberLine})};
}

double LnCdf(double cdf) {
    if (!(cdf > 0) || !std::isfinite(cdf))
        throw RunFault{5, "the CDF " + FormatCdf(cdf) + " has no logarithm"};
    return std::log(cdf);
}

double NewtonStep(double lnCdf0, double step, double lnCdfChange) {
    if (lnCdfChange == 0) throw RunFault{11, "the CDF did not change with the trial thickness"};
    return -lnCdf0 * step / lnCdfChange;
}

void SetThickness(core::SectionLayer& layer, double thicknessIn) {
    const float stored = core::Single(thicknessIn);
    if (!std::isfinite(stored)) throw RunFault{6, "the thickness overflowed"};
    layer.LayerThickness = stored;
}

float MinThicknessOf(const core::SectionLayer& layer) {
    if (!library::IsValidLayerType(layer.LayerType)) return 0;
    return library::LayerMaterialOf(layer.LayerType).MinThickness;
}

bool AtMinimum(const core::SectionLayer& layer) {
    return layer.LayerThickness == MinThicknessOf(layer);
}

void HalveToMinimum(core::SectionLayer& layer) {
    layer.LayerThickness = core::Single(layer.LayerThickness / 2.0);
    const float minimum = MinThicknessOf(layer);
    if (layer.LayerThickness < minimum) layer.LayerThickness = minimum;
}

std::string FormatCdf(double cdf) { return core::FormatMask(cdf, "0.000"); }

AnalysisStep AnalyseCurrentSection(core::ProgramState& state, core::UserPort& ui,
                                   std::string_view procedureTitle) {
    AnalysisStep step;
    core::PrepareAircraft(state);
    analysis::AnalysisLayerList list;
    const damage::AggregateResult aggregate = damage::CalculateAggregateModuli(state, ui, list);
    if (aggregate.status != damage::AggregateStatus::Ok) {
        ShowRunError(
            state, ui,
            JoinLines({"Error computing aggregate Modulus", "The design has been aborted"}),
            procedureTitle);
        step.status = AnalysisStepStatus::AggregateError;
        return step;
    }
    step.sublayered = aggregate.sublayered;
    step.depth = list.depths.empty() ? 0 : list.depths.front();
    analysis::AnalysisInput input;
    // The input writer has shown why (too many layers, or the file could not be written):
    // that ends the run as an error, not as a stop the user asked for.
    switch (analysis::WriteVornaInput(state, ui, list, input)) {
        case analysis::VornaStatus::Written:
            break;
        case analysis::VornaStatus::TooManyLayers:
            state.Run.DesignRunning = false;
            step.status = AnalysisStepStatus::Failed;
            step.reason = "too many analysis layers";
            return step;
        case analysis::VornaStatus::FileError:
            state.Run.DesignRunning = false;
            step.status = AnalysisStepStatus::Failed;
            step.reason = "the analysis input could not be written";
            return step;
    }
    ui.Redraw();
    const analysis::AnalysisResult result = analysis::RunAnalysis(state, ui, input);
    if (result.outcome != analysis::AnalysisOutcome::Completed) {
        step.status = AnalysisStepStatus::Failed;
        step.reason = result.reason;
        return step;
    }
    step.status =
        state.Run.DesignRunning ? AnalysisStepStatus::Analysed : AnalysisStepStatus::Stopped;
    return step;
}

void SetDeparturesForPeriod(core::ProgramState& state, double years) {
    for (core::DesignAircraft& aircraft : state.Current.Aircraft)
        aircraft.TotalDepartures = library::ComputeTotalDepartures(aircraft.AnnualDepartures,
                                                                   aircraft.AnnualGrowth, years);
}

LifeSearch SearchLife(core::ProgramState& state, double designLife, double cdfAtDesignLife,
                      double tolerance, const DesignOptions& options,
                      const std::function<LifeCdf()>& cdfOfCurrentDepartures) {
    LifeSearch search;
    double t0 = designLife;
    double cdf0 = cdfAtDesignLife;
    double t = options.firstTrialLifeFactor * designLife;
    while (true) {
        if (search.steps >= options.maxLifeSteps) {
            search.status = LifeStatus::StepLimit;
            return search;
        }
        ++search.steps;
        SetDeparturesForPeriod(state, t);
        const LifeCdf trial = cdfOfCurrentDepartures();
        if (trial.readError || !state.Run.DesignRunning) {
            search.status = trial.readError ? LifeStatus::ReadError : LifeStatus::Stopped;
            return search;
        }
        if (trial.responsesTooLow) {
            search.status = LifeStatus::TooLow;
            return search;
        }
        if (t0 < options.smallestLife) {
            search.life = 0;
            search.status = LifeStatus::ZeroLife;
            return search;
        }
        const double cdf = trial.cdf;
        if (cdf == cdf0) {
            // The secant is flat: the traffic of the longer period adds no damage (no
            // departures, or traffic that has stopped). Short of 1 it never gets there; at
            // or past 1 it got there before the traffic stopped, so the life lies before
            // both trial lives (never at the later one, which only repeats the damage).
            if (cdf < 1 - tolerance) {
                search.life = std::numeric_limits<float>::infinity();
                search.status = LifeStatus::NoFiniteLife;
                return search;
            }
            t0 = std::fmin(t, t0);
            t = t0 / 2;
            search.life = core::Single(t);
            continue;
        }
        double next = t0 + (t - t0) * (1 - cdf0) / (cdf - cdf0);
        // A secant through a curve that flattens (traffic falling off) can point before year
        // 0; the life then lies before both trial lives.
        if (next <= 0) next = std::fmin(t, t0) / 2;
        if (!std::isfinite(next)) {
            search.status = LifeStatus::StepLimit;
            return search;
        }
        t0 = t;
        cdf0 = cdf;
        t = next;
        search.life = core::Single(t);
        if (std::fabs(cdf - 1) < tolerance) return search;
    }
}

void ConcludeLife(core::ProgramState& state, core::UserPort& ui, const DesignOptions& options,
                  const LifeSearch& search, std::string_view tooLowLine, RunSummary& summary) {
    summary.life = search.life;
    summary.lifeSteps = search.steps;
    auto report = [&](std::string_view text) {
        ShowRunError(state, ui, text, kComputingLifeTitle);
        summary.messageShown = true;
    };
    switch (search.status) {
        case LifeStatus::Found:
            summary.outcome = DesignOutcome::Converged;
            summary.why = "|CDF - 1| below tolerance";
            return;
        case LifeStatus::ZeroLife:
            summary.outcome = DesignOutcome::Converged;
            summary.why = "the trial life fell below the smallest life: life 0";
            return;
        case LifeStatus::TooLow:
            report(JoinLines({tooLowLine, "to accurately compute life."}));
            summary.outcome = DesignOutcome::ResponsesTooLow;
            summary.why = "responses below the failure model's range";
            return;
        case LifeStatus::NoFiniteLife:
            report(JoinLines({"The CDF does not reach 1 however long the",
                              "traffic runs: the structure has no finite life.", "",
                              "Please check the departures of the design aircraft."}));
            summary.outcome = DesignOutcome::NoFiniteLife;
            summary.why = "the CDF does not change with the trial life and stays below 1";
            return;
        case LifeStatus::StepLimit:
            report(JoinLines({"The life computation did not converge",
                              "within " + core::FormatMask(options.maxLifeSteps, "0") + " steps.",
                              "", "Please check the structure and the traffic."}));
            summary.outcome = DesignOutcome::NoConvergence;
            summary.why = "life step limit reached";
            return;
        case LifeStatus::Stopped:
            summary.outcome = DesignOutcome::Interrupted;
            summary.why = "the run was stopped";
            return;
        case LifeStatus::ReadError:
            state.Run.DesignRunning = false;
            summary.outcome = DesignOutcome::Error;
            summary.why = "the responses could not be read";
            return;
    }
}

}  // namespace tavro::design
