// The rigid design: Newton iteration on ln CDF of the slab's edge stress against the slab
// thickness, with finite differences, and the secant search for the life.
#include "design/rigid_design.h"

#include <cmath>

#include "core/narrow.h"
#include "core/section_ops.h"
#include "damage/aggregate_modulus.h"
#include "damage/rigid_cdf.h"

namespace tavro::design {

namespace {

enum class Next { Iterate, Stop };

class RigidRun {
public:
    RigidRun(core::ProgramState& state, core::UserPort& ui, RunMode mode,
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
        summary_.iterations = state_.Run.IterationCount;
        return summary_;
    }

private:
    bool Life() const { return summary_.mode == RunMode::Life; }
    core::SectionLayer& Slab() { return state_.Current.Layers[0]; }
    core::SectionLayer& Second() { return state_.Current.Layers[1]; }
    bool HasLayerBelowSecond() const { return state_.Current.LayerCount() >= 3; }

    Next End(DesignOutcome outcome, std::string why) {
        summary_.outcome = outcome;
        summary_.why = std::move(why);
        return Next::Stop;
    }

    Next GiveUp(DesignOutcome outcome, std::string why, std::string_view text,
                std::string_view title = kRigidDesignTitle) {
        ShowRunError(state_, ui_, text, title);
        summary_.messageShown = true;
        return End(outcome, std::move(why));
    }

    bool Start() {
        if (state_.Current.LayerCount() < 2) {
            GiveUp(DesignOutcome::Error, "no slab on a subgrade",
                   JoinLines({"The structure needs a slab", "on a subgrade."}));
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
        analysis::AnalysisLayerList list;
        if (damage::CalculateAggregateModuli(state_, ui_, list).status !=
            damage::AggregateStatus::Ok) {
            GiveUp(DesignOutcome::Error, "the aggregate layers were refused",
                   JoinLines({"Error computing aggregate Modulus", "The design has been aborted"}));
            return false;
        }
        ui_.Redraw();
        return true;
    }

    bool AnalyseAndDamage(damage::RigidCdfResult& damage) {
        const AnalysisStep step = AnalyseCurrentSection(state_, ui_, kRigidDesignTitle);
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
        damage = damage::ComputeRigidCDF(state_, ui_);
        if (damage.readError) {
            state_.Run.DesignRunning = false;
            End(DesignOutcome::Error, "the stresses could not be read");
            return false;
        }
        return true;
    }

    Next Iteration() {
        if (state_.Run.IterationCount >= options_.maxIterations) return NoConvergence();
        ++state_.Run.IterationCount;
        damage::RigidCdfResult damage;
        if (!AnalyseAndDamage(damage)) return Next::Stop;
        if (Life()) return ComputeLife(damage);

        summary_.cdf = damage.cdf;
        summary_.firstCrackCdf = damage.firstCrackCdf;
        ui_.Redraw();
        const bool noDamage = !(damage.cdf > 0) && damage.stressesTooLow;
        const double m = noDamage ? 10.0 : std::fabs(LnCdf(damage.cdf));
        state_.Run.LnCdf = m;
        if (sublayered_ && m < options_.sublayeringThreshold && !state_.Run.SublayeringOn) {
            state_.Run.SublayeringOn = true;
            state_.Run.LnCdf = 10;
            return Next::Iterate;
        }
        if (m < options_.convergence)
            return End(DesignOutcome::Converged, "|ln CDF| below tolerance");
        if (AtMinimum(Slab()) && damage.cdf < 1) {
            const std::string cdfLine = "CDF = " + FormatCdf(summary_.cdf) + ".";
            if (state_.Current.LayerCount() == 2) {
                return GiveUp(
                    DesignOutcome::MinimumReached, "minimum slab thickness reached",
                    JoinLines({"The minimum PCC thickness", "has been reached. " + cdfLine}));
            }
            if (AtMinimum(Second())) {
                return GiveUp(
                    DesignOutcome::MinimumReached, "minimum thicknesses reached",
                    JoinLines({"The minimum layer thicknesses", "have been reached. " + cdfLine}));
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
            if (HasLayerBelowSecond()) HalveToMinimum(Second());
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
                if (HasLayerBelowSecond()) HalveToMinimum(Second());
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

    core::ProgramState& state_;
    core::UserPort& ui_;
    const DesignOptions& options_;
    RunSummary summary_;
    bool sublayered_ = false;
};

}  // namespace

RunSummary DesignRigid(core::ProgramState& state, core::UserPort& ui, RunMode mode,
                       const DesignOptions& options) {
    return RigidRun(state, ui, mode, options).Execute();
}

}  // namespace tavro::design
