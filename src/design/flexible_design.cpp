// The new flexible design: Newton iteration on ln CDF of the subgrade criterion against the
// design layer's thickness, with finite differences, and the secant search for the life.
#include "design/flexible_design.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "core/narrow.h"
#include "core/section_ops.h"
#include "damage/aggregate_modulus.h"
#include "damage/flexible_cdf.h"

namespace tavro::design {

namespace {

enum class Next { Iterate, Stop };

class FlexibleRun {
public:
    FlexibleRun(core::ProgramState& state, core::UserPort& ui, RunMode mode,
                const DesignOptions& options)
        : state_(state), ui_(ui), options_(options) {
        summary_.mode = mode;
    }

    RunSummary Execute() {
        try {
            if (Start()) {
                while (Iteration() == Next::Iterate) {
                }
            }
        } catch (const RunFault& fault) {
            state_.Run.DesignRunning = false;
            summary_.runError = fault.number;
            End(DesignOutcome::Error, fault.why);
        }
        Finish();
        summary_.iterations = state_.Run.IterationCount;
        return summary_;
    }

private:
    bool Life() const { return summary_.mode == RunMode::Life; }
    core::SectionLayer& Layer(int i) { return state_.Current.Layers[core::SlotIndex(i)]; }
    bool HasLayerAbove() const { return n_ > 1; }

    Next End(DesignOutcome outcome, std::string why) {
        summary_.outcome = outcome;
        summary_.why = std::move(why);
        return Next::Stop;
    }

    Next GiveUp(DesignOutcome outcome, std::string why, std::string_view text,
                std::string_view title) {
        ShowRunError(state_, ui_, text, title);
        summary_.messageShown = true;
        return End(outcome, std::move(why));
    }

    bool Start() {
        n_ = state_.Run.DesignLayer;
        if (n_ < 1 || n_ >= state_.Current.LayerCount()) {
            GiveUp(DesignOutcome::Error, "no design layer above the subgrade",
                   JoinLines({"The design layer is not a layer", "above the subgrade."}),
                   kFlexibleDesignTitle);
            return false;
        }
        sublayered_ = false;
        state_.Run.SublayeringOn = false;
        if (Life()) {
            summary_.life = 0;
            state_.Run.SublayeringOn = true;
            sublayered_ = true;
        }
        state_.Run.LnCdf = 10;
        state_.Run.IterationCount = 0;
        core::PrepareAircraft(state_);
        analysis::AnalysisLayerList list;
        if (damage::CalculateAggregateModuli(state_, ui_, list).status !=
            damage::AggregateStatus::Ok) {
            AggregateRefused();
            return false;
        }
        ui_.Redraw();
        return true;
    }

    void AggregateRefused() {
        GiveUp(DesignOutcome::Error, "the aggregate layers were refused",
               JoinLines({"Error computing aggregate Modulus", "The design has been aborted"}),
               kFlexibleDesignTitle);
    }

    // One analysis and the subgrade CDF of its responses; false ends the run.
    bool AnalyseAndDamage(damage::FlexibleCdfResult& damage) {
        const AnalysisStep step = AnalyseCurrentSection(state_, ui_, kFlexibleDesignTitle);
        switch (step.status) {
            case AnalysisStepStatus::Analysed:
                break;
            case AnalysisStepStatus::AggregateError:
                summary_.messageShown = true;
                End(DesignOutcome::Error, "the aggregate layers were refused");
                return false;
            case AnalysisStepStatus::Stopped:
                End(DesignOutcome::Interrupted, "the run was stopped");
                return false;
            case AnalysisStepStatus::Failed:
                End(DesignOutcome::Error, "the analysis failed: " + step.reason);
                return false;
        }
        sublayered_ = step.sublayered;
        depth_ = step.depth;
        damage =
            damage::ComputeFlexibleCDF(state_, ui_, depth_, damage::FlexibleCriterion::Subgrade);
        if (damage.readError) {
            state_.Run.DesignRunning = false;
            End(DesignOutcome::Error, "the responses could not be read");
            return false;
        }
        return true;
    }

    Next Iteration() {
        if (state_.Run.IterationCount >= options_.maxIterations) return NoConvergence();
        ++state_.Run.IterationCount;
        damage::FlexibleCdfResult damage;
        if (!AnalyseAndDamage(damage)) return Next::Stop;
        if (Life()) return ComputeLife(damage.cdf);

        summary_.cdf = damage.cdf;
        ui_.Redraw();
        // A structure far too strong for the criterion may carry no damage at all; it is
        // thinned below like any other with every strain under the criterion's range.
        const bool noDamage = !(damage.cdf > 0) && damage.strainsTooLow;
        const double m = noDamage ? 10.0 : std::fabs(LnCdf(damage.cdf));
        state_.Run.LnCdf = m;
        if (sublayered_ && m < options_.sublayeringThreshold && !state_.Run.SublayeringOn) {
            state_.Run.SublayeringOn = true;
            state_.Run.LnCdf = 10;
            return Next::Iterate;
        }
        if (m < options_.convergence)
            return End(DesignOutcome::Converged, "|ln CDF| below tolerance");
        if (AtMinimum(Layer(n_)) && (!HasLayerAbove() || AtMinimum(Layer(n_ - 1))) &&
            damage.cdf < 1) {
            return GiveUp(DesignOutcome::MinimumReached, "minimum thicknesses reached",
                          JoinLines({"Minimum layer thicknesses have",
                                     "been reached. CDF = " + FormatCdf(summary_.cdf) + ".", "",
                                     "The design has been aborted."}),
                          kFlexibleDesignTitle);
        }
        if (damage.strainsTooLow) {
            if (HasLayerAbove()) HalveToMinimum(Layer(n_ - 1));
            HalveToMinimum(Layer(n_));
            state_.Run.LnCdf = 10;
            return Next::Iterate;
        }
        return TrialStep(damage.cdf);
    }

    // The finite-difference step: the layer grows by the trial step and the CDF is taken
    // again; the change of ln CDF gives the Newton step.
    Next TrialStep(double cdf) {
        core::SectionLayer& layer = Layer(n_);
        const float h0 = layer.LayerThickness;
        const float lnCdf0 = core::Single(LnCdf(cdf));
        float step = core::Single(options_.trialStep * h0);
        SetThickness(layer, static_cast<double>(h0) + step);
        damage::FlexibleCdfResult trial;
        if (!AnalyseAndDamage(trial)) return Next::Stop;
        const float change = core::Single(LnCdf(trial.cdf) - lnCdf0);
        if (change <= 0) {
            step = core::Single(NewtonStep(lnCdf0, step, change));
            const float minimum = MinThicknessOf(layer);
            if (static_cast<double>(h0) + step < minimum) {
                layer.LayerThickness = minimum;
                if (HasLayerAbove()) HalveToMinimum(Layer(n_ - 1));
                state_.Run.LnCdf = 10;
            } else {
                SetThickness(layer, static_cast<double>(h0) + step);
            }
            if (state_.Run.IterationCount > options_.newtonIterationLimit) return NoConvergence();
            return Next::Iterate;
        }
        if (trial.cdf <= 1) {
            return GiveUp(DesignOutcome::NoConvergence,
                          "the CDF grows with thickness while below 1",
                          JoinLines({"The design procedure cannot converge. In this",
                                     "case, the cause is an inconsistency in the model.",
                                     "CDF at the top of the subgrade increases when",
                                     "thickness increases and CDF < 1.", "",
                                     "At the least, this can occur when a very",
                                     "stiff layer is placed on a very flexible",
                                     "subgrade. Please check the structure."}),
                          "Cannot Converge");
        }
        SetThickness(layer, 2.0 * layer.LayerThickness);
        state_.Run.LnCdf = 10;
        return Next::Iterate;
    }

    Next NoConvergence() {
        return GiveUp(DesignOutcome::NoConvergence, "iteration limit reached",
                      JoinLines({"The design will not converge.", "The design is being aborted. ",
                                 "", "Please check the structure."}),
                      "No Convergence");
    }

    Next ComputeLife(double cdfAtDesignLife) {
        summary_.cdf = core::Single(cdfAtDesignLife);
        const LifeSearch search =
            SearchLife(state_, state_.Current.DesignLife, cdfAtDesignLife,
                       options_.flexibleLifeTolerance, options_, [this] {
                           const damage::FlexibleCdfResult r = damage::ComputeFlexibleCDF(
                               state_, ui_, depth_, damage::FlexibleCriterion::Subgrade);
                           return LifeCdf{r.cdf, r.strainsTooLow, r.readError};
                       });
        ui_.Redraw();
        ConcludeLife(state_, ui_, options_, search, "Subgrade strains are too low", summary_);
        return Next::Stop;
    }

    // The responses of the last analysis stay available beside the next run's result file.
    void Finish() {
        namespace fs = std::filesystem;
        std::error_code ec;
        const fs::path dir(state_.ProgramDir);
        fs::remove(dir / "DAMTMPSG.DAT", ec);
        if (fs::exists(dir / "DAMTMP.DAT", ec))
            fs::rename(dir / "DAMTMP.DAT", dir / "DAMTMPSG.DAT", ec);
        state_.Current.AsphaltCDF = -1;
        ui_.Redraw();
    }

    core::ProgramState& state_;
    core::UserPort& ui_;
    const DesignOptions& options_;
    RunSummary summary_;
    int n_ = 0;  // design layer
    bool sublayered_ = false;
    double depth_ = 0;
};

}  // namespace

RunSummary DesignNewFlexible(core::ProgramState& state, core::UserPort& ui, RunMode mode,
                             const DesignOptions& options) {
    return FlexibleRun(state, ui, mode, options).Execute();
}

}  // namespace tavro::design
