// The rigid design: Newton iteration on ln CDF of the slab's edge stress against the slab
// thickness, with finite differences, and the secant search for the life.
#include "design/rigid_design.h"

#include "core/narrow.h"
#include "core/section_ops.h"
#include "damage/rigid_cdf.h"
#include "design/design_run.h"

namespace tavro::design {

namespace {

class RigidRun final : public DesignRun {
public:
    RigidRun(core::ProgramState& state, core::UserPort& ui, RunMode mode,
             const DesignOptions& options)
        : DesignRun(state, ui, mode, options, kRigidDesignTitle) {}

private:
    core::SectionLayer& Slab() { return state_.Current.Layers[0]; }
    core::SectionLayer& Second() { return state_.Current.Layers[1]; }
    // Only a new rigid pavement's layer 2 is the designer's to thin: under concrete on a
    // flexible pavement it is the existing asphalt, which the design never changes.
    bool SecondMayChange() const {
        return state_.Current.PavementType == core::kNewRigid && state_.Current.LayerCount() >= 3;
    }

    bool Start() override {
        if (state_.Current.LayerCount() < 2) {
            GiveUp(DesignOutcome::Error, "no slab on a subgrade",
                   JoinLines({"The structure needs a slab", "on a subgrade."}), kRigidDesignTitle);
            return false;
        }
        // The rigid coverages do not depend on the slab: one table serves the whole run.
        core::PrepareAircraft(state_);
        damage::FillRigidCoverageTable(state_, ui_);
        sublayered_ = false;
        state_.Run.SublayeringOn = false;
        if (Life()) {
            state_.Run.SublayeringOn = true;
            summary_.life = 0;
            summary_.firstCrackCdf = 0;
        }
        state_.Run.LnCdf = 10;
        state_.Run.IterationCount = 0;
        return AcceptAggregates();
    }

    bool AnalyseAndDamage(damage::RigidCdfResult& damage) {
        AnalysisStep step;
        if (!Analyse(step)) return false;
        damage = damage::ComputeRigidCDF(state_, ui_);
        if (damage.readError) {
            state_.Run.DesignRunning = false;
            End(DesignOutcome::Error, "the stresses could not be read");
            return false;
        }
        return true;
    }

    Next Iteration() override {
        if (state_.Run.IterationCount >= options_.maxIterations) return NoConvergence();
        ++state_.Run.IterationCount;
        damage::RigidCdfResult damage;
        if (!AnalyseAndDamage(damage)) return Next::Stop;
        if (Life()) return ComputeLife(damage);

        summary_.firstCrackCdf = damage.firstCrackCdf;
        const bool noDamage = !(damage.cdf > 0) && damage.stressesTooLow;
        if (const auto settled = SettleOnCdf(damage.cdf, noDamage)) return *settled;
        if (AtMinimum(Slab()) && damage.cdf < 1) {
            const std::string cdfLine = "CDF = " + FormatCdf(summary_.cdf) + ".";
            if (!SecondMayChange()) {
                return GiveUp(
                    DesignOutcome::MinimumReached, "minimum slab thickness reached",
                    JoinLines({"The minimum PCC thickness", "has been reached. " + cdfLine}),
                    kRigidDesignTitle);
            }
            if (AtMinimum(Second())) {
                return GiveUp(
                    DesignOutcome::MinimumReached, "minimum thicknesses reached",
                    JoinLines({"The minimum layer thicknesses", "have been reached. " + cdfLine}),
                    kRigidDesignTitle);
            }
        }
        return TrialStep(noDamage ? 1.0 : damage.cdf);
    }

    // The slab grows by the trial step and the CDF is taken again; the change of ln CDF gives
    // the Newton step. A structure whose stresses are below the model's range is thinned.
    Next TrialStep(double cdf) {
        const float h0 = Slab().LayerThickness;
        const float lnCdf0 = core::Single(LnCdf(cdf));
        float step = core::Single(options_.trialStep * h0);
        SetThickness(Slab(), static_cast<double>(h0) + step);
        damage::RigidCdfResult trial;
        if (!AnalyseAndDamage(trial)) return Next::Stop;
        if (trial.stressesTooLow) {
            HalveToMinimum(Slab());
            if (SecondMayChange()) HalveToMinimum(Second());
            return Next::Iterate;
        }
        const float change = core::Single(LnCdf(trial.cdf) - lnCdf0);
        if (change <= 0) {
            step = core::Single(NewtonStep(lnCdf0, step, change));
            const float minimum = MinThicknessOf(Slab());
            if (static_cast<double>(h0) + step >= minimum) {
                SetThickness(Slab(), static_cast<double>(h0) + step);
            } else {
                Slab().LayerThickness = minimum;
                if (SecondMayChange()) HalveToMinimum(Second());
            }
            return Next::Iterate;
        }
        if (trial.cdf <= 1) {
            return GiveUp(DesignOutcome::NoConvergence,
                          "the CDF grows with slab thickness while below 1",
                          JoinLines({"The design procedure cannot converge. In this",
                                     "case, the cause is that the PCC CDF increases",
                                     "as PCC thickness increases. It is probably due",
                                     "to stress increasing with increasing thickness",
                                     "for a structure with a thin PCC layer on a", "stiff subbase.",
                                     "", "Please check the structure."}),
                          "Cannot Converge");
        }
        SetThickness(Slab(), 2.0 * Slab().LayerThickness);
        return Next::Iterate;
    }

    Next NoConvergence() {
        return GiveUp(DesignOutcome::NoConvergence, "iteration limit reached",
                      JoinLines({"The design will not converge.", "The design is being aborted. ",
                                 "", "Please check the structure."}),
                      "No Convergence");
    }

    Next ComputeLife(const damage::RigidCdfResult& atDesignLife) {
        summary_.cdf = atDesignLife.cdf;
        summary_.firstCrackCdf = atDesignLife.firstCrackCdf;
        const LifeSearch search =
            SearchLife(state_, state_.Current.DesignLife, atDesignLife.cdf,
                       options_.rigidLifeTolerance, options_, [this] {
                           const damage::RigidCdfResult r = damage::ComputeRigidCDF(state_, ui_);
                           return LifeCdf{r.cdf, r.stressesTooLow, r.readError};
                       });
        state_.Run.Damage.FirstCrackCdf = atDesignLife.firstCrackCdf;
        ui_.Redraw();
        ConcludeLife(state_, ui_, options_, search, "PCC stresses are too low", summary_);
        return Next::Stop;
    }
};

}  // namespace

RunSummary DesignRigid(core::ProgramState& state, core::UserPort& ui, RunMode mode,
                       const DesignOptions& options) {
    return RigidRun(state, ui, mode, options).Execute();
}

}  // namespace tavro::design
