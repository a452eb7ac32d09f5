// The asphalt overlay on a flexible pavement: Newton iteration on ln CDF of the subgrade
// criterion against the overlay thickness, the secant search for the life, and the
// overlay's own damage from the tensile strain at its bottom.
#include "design/flexible_overlay.h"

#include <vector>

#include "analysis/lea_driver.h"
#include "core/narrow.h"
#include "core/section_ops.h"
#include "damage/aggregate_modulus.h"
#include "damage/flexible_cdf.h"
#include "design/design_run.h"

namespace tavro::design {

namespace {

constexpr int kOverlay = 1;  // the layer this procedure adjusts

class OverlayRun final : public SubgradeRun {
public:
    OverlayRun(core::ProgramState& state, core::UserPort& ui, RunMode mode,
               const DesignOptions& options)
        : SubgradeRun(state, ui, mode, options, kFlexibleOverlayTitle) {}

private:
    core::SectionLayer& Overlay() { return state_.Current.Layers[core::SlotIndex(kOverlay)]; }

    bool Start() override {
        state_.Run.DesignLayer = kOverlay;
        if (state_.Current.LayerCount() < 2) {
            GiveUp(DesignOutcome::Error, "no overlay above the subgrade",
                   JoinLines({"The design layer is not a layer", "above the subgrade."}),
                   kFlexibleOverlayTitle);
            return false;
        }
        state_.Run.SublayeringOn = Life();
        summary_.life = 0;
        state_.Run.LnCdf = 10;
        state_.Run.IterationCount = 0;
        core::PrepareAircraft(state_);
        return AcceptAggregates();
    }

    Next Iteration() override {
        if (state_.Run.IterationCount >= options_.maxIterations) return NoConvergence();
        ++state_.Run.IterationCount;
        damage::FlexibleCdfResult damage;
        if (!AnalyseAndDamage(damage)) return Next::Stop;
        if (Life()) return ComputeLife(damage.cdf, kFlexibleOverlayLifeTolerance);

        // No departures at all leave no damage to take the logarithm of; such a structure is
        // thinned like one whose strains are all under the criterion's range.
        const bool noDamage = !(damage.cdf > 0) && damage.strainsTooLow;
        if (const auto settled = SettleOnCdf(damage.cdf, noDamage)) return *settled;
        if (AtMinimum(Overlay()) && damage.cdf < 1) {
            return GiveUp(DesignOutcome::MinimumReached, "minimum overlay thickness reached",
                          JoinLines({"The minimum overlay thickness has",
                                     "been reached. CDF = " + FormatCdf(summary_.cdf) + "."}),
                          kFlexibleOverlayTitle);
        }
        if (damage.strainsTooLow) {
            HalveToMinimum(Overlay());
            state_.Run.LnCdf = 10;
            return Next::Iterate;
        }
        return NewtonStepOfOverlay(damage.cdf);
    }

    // The overlay grows by the trial step, the CDF is taken again, and the change of ln CDF
    // gives the Newton step. Unlike a new pavement, the step is taken whichever way the
    // damage moved: the iteration bound ends a structure whose damage grows with the overlay.
    Next NewtonStepOfOverlay(double cdf) {
        core::SectionLayer& overlay = Overlay();
        const float h0 = overlay.LayerThickness;
        const float lnCdf0 = core::Single(LnCdf(cdf));
        float step = core::Single(options_.trialStep * h0);
        SetThickness(overlay, static_cast<double>(h0) + step);
        damage::FlexibleCdfResult trial;
        if (!AnalyseAndDamage(trial)) return Next::Stop;
        const float change = core::Single(LnCdf(trial.cdf) - lnCdf0);
        step = core::Single(NewtonStep(lnCdf0, step, change));
        const float minimum = MinThicknessOf(overlay);
        if (static_cast<double>(h0) + step < minimum) {
            overlay.LayerThickness = minimum;
            state_.Run.LnCdf = 10;
        } else {
            SetThickness(overlay, static_cast<double>(h0) + step);
        }
        if (state_.Run.IterationCount > options_.newtonIterationLimit) return NoConvergence();
        return Next::Iterate;
    }

    Next NoConvergence() {
        return GiveUp(DesignOutcome::NoConvergence, "iteration limit reached",
                      JoinLines({"The design will not converge", "and is being aborted. ", "",
                                 "Please check the structure."}),
                      "No Convergence");
    }

    // The subgrade responses stay available beside the next result file. The asphalt CDF is
    // taken after every run that ended normally, whatever ran before it in this program run;
    // the tables the run reports stay those of the subgrade criterion.
    void Finish() override {
        KeepSubgradeResponses();
        if (state_.Run.DesignRunning) {
            const core::DamageTables subgradeDamage = state_.Run.Damage;
            const std::vector<core::DesignAircraft> aircraft = state_.Current.Aircraft;
            ui_.Redraw();
            const OverlayAsphalt asphalt = ComputeOverlayAsphaltCdf(state_, ui_);
            if (asphalt.status == AnalysisStepStatus::Analysed) {
                state_.Current.AsphaltCDF = asphalt.cdf;
            } else {
                summary_.messageShown = summary_.messageShown ||
                                        asphalt.status == AnalysisStepStatus::AggregateError ||
                                        asphalt.status == AnalysisStepStatus::Failed;
                End(asphalt.status == AnalysisStepStatus::Stopped ? DesignOutcome::Interrupted
                                                                  : DesignOutcome::Error,
                    "the asphalt CDF was not computed: " + asphalt.reason);
            }
            state_.Run.Damage = subgradeDamage;
            state_.Current.Aircraft = aircraft;
        }
        ui_.Redraw();
    }
};

}  // namespace

OverlayAsphalt ComputeOverlayAsphaltCdf(core::ProgramState& state, core::UserPort& ui) {
    OverlayAsphalt asphalt;
    core::PrepareAircraft(state);
    analysis::AnalysisLayerList list;
    if (damage::CalculateAggregateModuli(state, ui, list).status != damage::AggregateStatus::Ok ||
        list.layers.empty()) {
        ShowRunError(
            state, ui,
            JoinLines({"Error computing aggregate Modulus", "The design has been aborted"}),
            kFlexibleOverlayTitle);
        asphalt.status = AnalysisStepStatus::AggregateError;
        asphalt.reason = "the aggregate layers were refused";
        return asphalt;
    }
    const double bottomOfOverlay = -static_cast<double>(list.layers.front().thickness);
    list.depths = {bottomOfOverlay};
    analysis::AnalysisInput input;
    if (const auto written = analysis::WriteVornaInput(state, ui, list, input);
        written != analysis::VornaStatus::Written) {
        // Shown by the input writer; an error, not a stop.
        state.Run.DesignRunning = false;
        asphalt.status = AnalysisStepStatus::Failed;
        asphalt.reason = written == analysis::VornaStatus::TooManyLayers
                             ? "too many analysis layers"
                             : "the analysis input could not be written";
        return asphalt;
    }
    ui.Redraw();
    const analysis::AnalysisResult result = analysis::RunAnalysis(
        state, ui, input, std::nullopt, {.horizontalStrainDepth = bottomOfOverlay});
    if (result.outcome != analysis::AnalysisOutcome::Completed) {
        asphalt.status = AnalysisStepStatus::Failed;
        asphalt.reason = "the analysis failed: " + result.reason;
        return asphalt;
    }
    if (!state.Run.DesignRunning) {
        asphalt.status = AnalysisStepStatus::Stopped;
        asphalt.reason = "the run was stopped";
        return asphalt;
    }
    const damage::FlexibleCdfResult cdf =
        damage::ComputeFlexibleCDF(state, ui, bottomOfOverlay, damage::FlexibleCriterion::Asphalt);
    if (cdf.readError) {
        state.Run.DesignRunning = false;
        asphalt.status = AnalysisStepStatus::Failed;
        asphalt.reason = "the responses could not be read";
        return asphalt;
    }
    asphalt.status = AnalysisStepStatus::Analysed;
    asphalt.cdf = cdf.cdf;
    return asphalt;
}

RunSummary DesignFlexibleOverlay(core::ProgramState& state, core::UserPort& ui, RunMode mode,
                                 const DesignOptions& options) {
    return OverlayRun(state, ui, mode, options).Execute();
}

}  // namespace tavro::design
