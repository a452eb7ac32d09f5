// The overlay on rigid design: 4 in steps until the total life brackets the design life,
// then interpolation in ln(life) between the bracket ends.
#include "design/overlay_rigid.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/narrow.h"
#include "core/number_format.h"
#include "core/section_ops.h"
#include "damage/rigid_cdf.h"
#include "library/layer_library.h"

namespace tavro::design {

namespace {

constexpr std::int16_t kAcOverlayType = 10, kUnbondedOverlayType = 11, kPartBondedOverlayType = 12;

bool IsAggregate(int type) {
    if (!library::IsValidLayerType(type)) return false;
    const std::string_view name = library::LayerTypeName(type);
    return name == "Ag Crushed" || name == "Ag Uncrushed";
}

struct Trial {
    double h = 0;
    double r = 0;
};

class OverlayRun {
public:
    OverlayRun(core::ProgramState& state, core::UserPort& ui, RunMode mode,
               const OverlayOnRigidOptions& options)
        : state_(state), ui_(ui), options_(options) {
        summary_.mode = mode;
    }

    RunSummary Execute() {
        if (!state_.Current.Layers.empty()) startThickness_ = Overlay().LayerThickness;
        try {
            if (Start()) Search();
        } catch (const RunFault& fault) {
            state_.Run.DesignRunning = false;
            summary_.runError = fault.number;
            End(DesignOutcome::Error, fault.why);
        }
        if (summary_.outcome == DesignOutcome::Error && !state_.Current.Layers.empty())
            Overlay().LayerThickness = startThickness_;
        summary_.iterations = state_.Run.IterationCount;
        return summary_;
    }

private:
    core::SectionLayer& Overlay() { return state_.Current.Layers[0]; }

    void End(DesignOutcome outcome, std::string why) {
        summary_.outcome = outcome;
        summary_.why = std::move(why);
    }

    void GiveUp(DesignOutcome outcome, std::string why, std::string_view text) {
        ShowRunError(state_, ui_, text, kOverlayOnRigidTitle);
        summary_.messageShown = true;
        End(outcome, std::move(why));
    }

    bool Start() {
        if (state_.Current.LayerCount() < 3) {
            GiveUp(DesignOutcome::Error, "no overlay on a slab on a subgrade",
                   JoinLines({"The structure needs an overlay on", "a slab on a subgrade."}));
            return false;
        }
        settings_ = OverlaySettingsOf(state_.Current);
        minimum_ = MinimumOverlayThickness(state_.Current);
        if (damage::IsAsphaltOverlay(Overlay().LayerType) &&
            state_.Current.SCI <= settings_.terminalSci) {
            // The overlay's life is the time the slab needs to fall to that condition: none.
            GiveUp(DesignOutcome::Error,
                   "the existing slab is already at the overlay's failure SCI",
                   JoinLines({"The existing slab is already at the",
                              "failure condition of an asphalt overlay:",
                              "SCI " + core::FormatMask(state_.Current.SCI, "0") +
                                  " is not above the failure SCI of " +
                                  core::FormatMask(settings_.terminalSci, "0") + ".",
                              "", "Please check the SCI of the existing slab."}));
            return false;
        }
        state_.Run.SublayeringOn = true;
        state_.Run.LnCdf = 10;
        state_.Run.IterationCount = 0;
        summary_.life = 0;
        // The coverages do not depend on the overlay: one table serves the whole run.
        core::PrepareAircraft(state_);
        damage::FillRigidCoverageTable(state_, ui_);
        core::ReportProgress(state_, ui_);
        return true;
    }

    // Total life minus design life of overlay thickness h, or nothing when the run ended.
    std::optional<double> Evaluate(double h) {
        SetThickness(Overlay(), h);
        const damage::LifeTotalResult life =
            damage::LifeTotal(state_, ui_, Overlay().LayerThickness, settings_);
        summary_.cdf = state_.Run.Damage.Cdf;
        summary_.firstCrackCdf = state_.Run.Damage.FirstCrackCdf;
        state_.Run.Display.ProgressCDF = state_.Run.Damage.Cdf;
        state_.Run.Display.ExistingLife = state_.Run.Damage.Overlay.T1;
        core::ReportProgress(state_, ui_);
        switch (life.status) {
            case damage::LifeTotalStatus::Computed:
                summary_.life = core::Single(life.totalLife);
                return life.residual;
            case damage::LifeTotalStatus::Stopped:
                End(DesignOutcome::Interrupted, "the run was stopped");
                return std::nullopt;
            case damage::LifeTotalStatus::Error:
                summary_.messageShown = true;
                End(DesignOutcome::Error, "the life model ended the run");
                return std::nullopt;
        }
        return std::nullopt;
    }

    // Evaluates a thickness reached by a step or the interpolation.
    std::optional<double> Next(double h) {
        const std::optional<double> r = Evaluate(h);
        if (r) ++state_.Run.IterationCount;
        return r;
    }

    bool AtMinimum() { return Overlay().LayerThickness <= minimum_; }

    // A design that gives up leaves the overlay as it found it, not at its last trial.
    void NotConverged(int count, std::string why) {
        Overlay().LayerThickness = startThickness_;
        GiveUp(DesignOutcome::NoConvergence, std::move(why),
               JoinLines({"The design has not converged after",
                          core::FormatMask(count, "0") + " iterations.", "",
                          "Terminating the design."}));
    }

    void TooThickAtLargest() {
        Overlay().LayerThickness = startThickness_;
        const core::UnitSet& units = state_.Units;
        GiveUp(DesignOutcome::NoConvergence, "the largest overlay thickness falls short",
               JoinLines({"Even the largest overlay of " +
                              core::FormatMask(options_.largestThickness * units.thickness.factor,
                                               "0.0") +
                              " " + units.thickness.label,
                          "does not reach the design life.", "", "Terminating the design.", "",
                          "Please check the structure and the traffic."}));
    }

    void MinimumReached() {
        // The minimum overlay is a design: the run keeps its time stamp.
        ui_.ProcessPendingEvents();
        core::ShowMessage(
            state_, ui_,
            JoinLines({"Minimum thickness has been reached.",
                       "The calculated life is still greater than", "the required design life.", "",
                       "The design has been terminated."}),
            core::Buttons::Ok, kOverlayOnRigidTitle);
        summary_.messageShown = true;
        End(DesignOutcome::MinimumReached, "minimum overlay thickness reached");
    }

    bool Converged(double r) {
        if (std::fabs(r) >= options_.lifeTolerance) return false;
        End(DesignOutcome::Converged, "|total life - design life| below tolerance");
        return true;
    }

    void Search() {
        std::optional<double> r = Evaluate(Overlay().LayerThickness);
        if (!r) return;
        if (summary_.mode == RunMode::Life) {
            End(DesignOutcome::Converged, "total life computed");
            return;
        }
        ++state_.Run.IterationCount;
        bool bracketed = false;
        Trial lo, hi;  // lo: life too short (r <= 0), hi: too long (r > 0)
        int steps = 0, passes = 0;
        while (true) {
            if (Converged(*r)) return;
            const double h = Overlay().LayerThickness;
            if (*r > 0 && AtMinimum()) return MinimumReached();
            if (bracketed) {
                (*r <= 0 ? lo : hi) = {h, *r};
            } else {
                // Step towards the design until the residual changes sign.
                Trial previous{h, *r};
                const bool up = *r <= 0;
                while (true) {
                    if (++steps > options_.maxSteps)
                        return NotConverged(options_.maxSteps, "step limit reached");
                    previous = {Overlay().LayerThickness, *r};
                    if (up && previous.h >= options_.largestThickness) return TooThickAtLargest();
                    const double next = up ? std::min(previous.h + options_.thicknessStep,
                                                      options_.largestThickness)
                                           : std::max(previous.h - options_.thicknessStep,
                                                      static_cast<double>(minimum_));
                    r = Next(next);
                    if (!r) return;
                    if (Converged(*r)) return;
                    if (up ? *r > 0 : *r <= 0) break;
                    if (!up && AtMinimum()) return MinimumReached();
                }
                const Trial last{Overlay().LayerThickness, *r};
                lo = up ? previous : last;
                hi = up ? last : previous;
                bracketed = true;
            }
            if (++passes > options_.maxInterpolations)
                return NotConverged(options_.maxInterpolations, "interpolation limit reached");
            r = Next(Interpolate(lo, hi));
            if (!r) return;
        }
    }

    double Interpolate(const Trial& a, const Trial& b) const {
        return InterpolateThickness(a.h, a.r, b.h, b.r, state_.Current.DesignLife);
    }

    core::ProgramState& state_;
    core::UserPort& ui_;
    const OverlayOnRigidOptions& options_;
    RunSummary summary_;
    damage::OverlayLifeSettings settings_;
    float minimum_ = 0;
    float startThickness_ = 0;
};

}  // namespace

double InterpolateThickness(double ha, double ra, double hb, double rb, double designLife) {
    const double la = designLife + ra, lb = designLife + rb;
    const double mid = (ha + hb) / 2;
    if (!(la > 0 && lb > 0 && designLife > 0) || la == lb) return mid;
    const double h =
        ha + (hb - ha) * (std::log(designLife) - std::log(la)) / (std::log(lb) - std::log(la));
    if (!std::isfinite(h) || h <= std::min(ha, hb) || h >= std::max(ha, hb)) return mid;
    return h;
}

damage::OverlayLifeSettings OverlaySettingsOf(const core::CurrentSectionRecord& section) {
    damage::OverlayLifeSettings settings;
    settings.cdfu = section.SCI < 100 ? 100 : section.CDFU;
    settings.terminalSci = 80;
    if (!section.Layers.empty() && damage::IsAsphaltOverlay(section.Layers[0].LayerType)) {
        const bool aggregate =
            section.LayerCount() >= 3 && IsAggregate(section.Layers[2].LayerType);
        settings.terminalSci = aggregate ? 58 : 40;
    }
    return settings;
}

float MinimumOverlayThickness(const core::CurrentSectionRecord& section) {
    std::int16_t type = kPartBondedOverlayType;
    if (!section.Layers.empty()) {
        const int top = section.Layers[0].LayerType;
        if (damage::IsAsphaltOverlay(top))
            type = kAcOverlayType;
        else if (top == kUnbondedOverlayType)
            type = kUnbondedOverlayType;
    }
    return library::LayerMaterialOf(type).MinThickness;
}

RunSummary DesignOverlayOnRigid(core::ProgramState& state, core::UserPort& ui, RunMode mode,
                                const OverlayOnRigidOptions& options) {
    return OverlayRun(state, ui, mode, options).Execute();
}

}  // namespace tavro::design
