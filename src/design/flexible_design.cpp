// The new flexible design: Newton iteration on ln CDF of the subgrade criterion against the
// design layer's thickness, with finite differences, and the secant search for the life.
#include "design/flexible_design.h"

#include "core/narrow.h"
#include "core/section_ops.h"
#include "damage/flexible_cdf.h"
#include "design/design_run.h"

namespace tavro::design {

namespace {

class FlexibleRun final : public SubgradeRun {
public:
    FlexibleRun(core::ProgramState& state, core::UserPort& ui, RunMode mode,
                const DesignOptions& options)
        : SubgradeRun(state, ui, mode, options, kFlexibleDesignTitle) {}

private:
    core::SectionLayer& Layer(int i) { return state_.Current.Layers[core::SlotIndex(i)]; }
    bool HasLayerAbove() const { return n_ > 1; }

    bool Start() override {
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
        return AcceptAggregates();
    }

    Next Iteration() override {
        if (state_.Run.IterationCount >= options_.maxIterations) return NoConvergence();
        ++state_.Run.IterationCount;
        damage::FlexibleCdfResult damage;
        if (!AnalyseAndDamage(damage)) return Next::Stop;
        if (Life()) return ComputeLife(damage.cdf, options_.flexibleLifeTolerance);

        // A structure far too strong for the criterion may carry no damage at all; it is
        // thinned below like any other with every strain under the criterion's range.
        const bool noDamage = !(damage.cdf > 0) && damage.strainsTooLow;
        if (const auto settled = SettleOnCdf(damage.cdf, noDamage)) return *settled;
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

    void Finish() override {
        KeepSubgradeResponses();
        core::ReportProgress(state_, ui_);
    }

    int n_ = 0;  // design layer
};

}  // namespace

RunSummary DesignNewFlexible(core::ProgramState& state, core::UserPort& ui, RunMode mode,
                             const DesignOptions& options) {
    return FlexibleRun(state, ui, mode, options).Execute();
}

}  // namespace tavro::design
