// Life of an overlay on an existing rigid pavement. The existing slab's condition falls
// linearly in log coverages between its first crack (SCI 100) and complete failure (SCI 0);
// each condition stage softens the slab in the analysis, and the overlay's damage over the
// stage's duration accumulates until it reaches 1.
#include "damage/overlay_life.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "analysis/analysis_input.h"
#include "analysis/lea_driver.h"
#include "core/file_io.h"
#include "core/messages.h"
#include "core/narrow.h"
#include "damage/aggregate_modulus.h"
#include "damage/flexible_cdf.h"
#include "damage/rigid_cdf.h"
#include "library/layer_library.h"

namespace tavro::damage {

namespace {

constexpr std::string_view kResultFile = "DAMTMP.DAT";
constexpr int kStressNumbers = 5;  // load, layer, depth, modulus, horizontal stress
constexpr std::size_t kStressColumn = 4;
constexpr double kMissingStressPsi = 1000;

constexpr double kNoLimitStressPsi = 1e-7;
constexpr double kNoLimitLog10 = 12;
constexpr double kLeftOutStressPsi = 1;  // below this an aircraft does not wear a layer
constexpr double kSlabFirstCrackCap = 20, kSlabFailureCap = 30;
constexpr double kOverlayUncrackedCap = 30, kOverlayCrackedCap = 20;
constexpr double kZeroGrowth = 1e-8;

constexpr double kFirstCrackResidual = 0.0001, kFirstCrackInterval = 0.01;
constexpr double kStageGuessYears = 5;
constexpr int kStageSearchSteps = 200;
constexpr double kStageResidualSci = 0.01, kStageIntervalYears = 0.001;
// The time the overlay's damage reaches 1 within a stage.
constexpr double kFailureResidual = 0.0001, kFailureInterval = 0.001;

double Ln10() { return std::log(10.0); }

bool IsNamed(int type, std::string_view name) {
    return library::IsValidLayerType(type) && library::LayerTypeName(type) == name;
}

void EndWithMessage(core::ProgramState& state, core::UserPort& ui, std::string_view text,
                    std::string_view title) {
    ui.ProcessPendingEvents();
    core::ShowMessage(state, ui, text, core::Buttons::Ok, title);
    state.Run.DesignRunning = false;
}

std::string_view ReadErrorText() {
    static const std::string text =
        core::JoinLines({"There has been an error reading", "stresses from the data file. This",
                         "was probably caused by the PCC", "layer being too thin. The design",
                         "will be ended.", "", "Please check the structure."});
    return text;
}

// Modulus of a cracked existing slab at condition `sci` as a share of the sound slab's.
double CrackedModulusShare(double sci) {
    const double a = 0.00584 * sci;
    return a * a + 0.0064 * sci + 0.002;
}

// The existing slab's condition line of one aircraft: first crack at C100, failure at C0.
struct SlabLine {
    double log10C100 = kSlabFirstCrackCap;
    double log10C0 = kSlabFailureCap;
    double coveragesPerPass = 0;
    bool counts = false;  // not an overload aircraft
};

class OverlayLife {
public:
    OverlayLife(core::ProgramState& state, core::UserPort& ui, const OverlayLifeSettings& settings)
        : state_(state), ui_(ui), settings_(settings), section_(state.Current) {}

    LifeTotalResult Run(double thicknessIn) {
        state_.Run.Damage.Overlay = {};
        if (section_.LayerCount() < 3) {
            // Nothing to overlay: the callers refuse such a structure before they get here.
            state_.Run.DesignRunning = false;
            return result_;
        }
        Overlay().LayerThickness = core::Single(thicknessIn);
        const bool asphalt = IsAsphaltOverlay(Overlay().LayerType);
        const double h1 = Overlay().LayerThickness, h2 = Slab().LayerThickness;
        const std::vector<double> depths =
            asphalt ? std::vector<double>{-(h1 + h2)} : std::vector<double>{-h1, -(h1 + h2)};
        if (!Analyse(depths, "AggErr in LifeTotal 1")) return result_;
        const RigidCdfResult rigid = ComputeRigidCDF(state_, ui_, static_cast<int>(depths.size()));
        if (rigid.readError) return Failed();
        if (!state_.Run.DesignRunning) {
            result_.status = LifeTotalStatus::Stopped;
            return result_;
        }
        const OverlayStresses stresses =
            ReadOverlayStresses(state_, ui_, static_cast<int>(depths.size()));
        if (stresses.readError) return ReadFailed();

        SetSlabLines(stresses, depths.size() - 1);
        const double t1 = TimeToFirstCrack();
        state_.Run.Damage.Overlay.T1 = core::Single(t1);
        if (asphalt) {
            // One search from time 0 for the whole drop to the overlay's terminal condition.
            crackedStart_ = 0;
            const double wanted = section_.SCI - settings_.terminalSci;
            const double d =
                StageDuration(kStageGuessYears, [&](double x) { return SlabDrop(0, x) - wanted; });
            // Traffic that stops (or never runs) may leave the slab short of the overlay's
            // failure condition for good: the horizon is then the life, as a lower bound.
            if (!(t1 + d < kLifeHorizonYears)) return Finish(kLifeHorizonYears, t1, 1, 0, true);
            return Finish(t1 + d, t1, 1, 0);
        }
        return ConcreteOverlay(stresses, t1);
    }

private:
    core::SectionLayer& Overlay() { return section_.Layers[0]; }
    core::SectionLayer& Slab() { return section_.Layers[1]; }

    LifeTotalResult Failed() {
        state_.Run.DesignRunning = false;
        result_.status = LifeTotalStatus::Error;
        return result_;
    }

    LifeTotalResult ReadFailed() {
        EndRunOnReadError(state_, ui_, ReadErrorText());
        result_.status = LifeTotalStatus::Error;
        return result_;
    }

    LifeTotalResult Finish(double totalLife, double t1, int stages, double damage,
                           bool capped = false) {
        core::OverlayLifeFigures& f = state_.Run.Damage.Overlay;
        f.T1 = core::Single(t1);
        // An overlay that fails before the existing slab cracks adds nothing.
        f.LifeAdded = core::Single(std::max(totalLife - t1, 0.0));
        f.TotalLife = core::Single(totalLife);
        f.Stages = stages;
        f.OverlayDamage = core::Single(damage);
        f.LifeCapped = capped;
        result_.status = LifeTotalStatus::Computed;
        result_.totalLife = totalLife;
        result_.residual = totalLife - section_.DesignLife;
        return result_;
    }

    // One analysis of the current section at `depths`; false when the run ends (an aggregate
    // structure refused shows `aggregateError` under "AggErr").
    bool Analyse(const std::vector<double>& depths, std::string_view aggregateError) {
        analysis::AnalysisLayerList list;
        if (CalculateAggregateModuli(state_, ui_, list).status != AggregateStatus::Ok) {
            EndWithMessage(state_, ui_, aggregateError, "AggErr");
            result_.status = LifeTotalStatus::Error;
            return false;
        }
        list.depths = depths;
        analysis::AnalysisInput input;
        if (analysis::WriteVornaInput(state_, ui_, list, input) != analysis::VornaStatus::Written) {
            // Too many layers or an input file not written (message shown): an error.
            state_.Run.DesignRunning = false;
            result_.status = LifeTotalStatus::Error;
            return false;
        }
        core::ReportProgress(state_, ui_);
        const analysis::AnalysisResult run = analysis::RunAnalysis(state_, ui_, input);
        if (run.outcome != analysis::AnalysisOutcome::Completed || !state_.Run.DesignRunning) {
            state_.Run.DesignRunning = false;
            result_.status = LifeTotalStatus::Stopped;
            return false;
        }
        return true;
    }

    void SetSlabLines(const OverlayStresses& stresses, std::size_t slabDepth) {
        const double strength = Slab().LayerFlexStrength;
        lines_.assign(static_cast<std::size_t>(section_.AircraftCount()), {});
        for (int i = 1; i <= section_.AircraftCount(); ++i) {
            SlabLine& line = lines_[core::SlotIndex(i)];
            line.counts = !section_.Aircraft[core::SlotIndex(i)].OverloadFlag;
            line.coveragesPerPass = CoveragesPerPassAtCritical(state_, i);
            const double stress = stresses.stress[core::SlotIndex(i)][slabDepth];
            if (stress < kLeftOutStressPsi) continue;
            line.log10C100 =
                std::min(LogCoveragesAtSCI(100, strength, stress, 1, 1), kSlabFirstCrackCap);
            line.log10C0 = std::min(LogCoveragesAtSCI(0, strength, stress, 1, 1), kSlabFailureCap);
        }
    }

    double TimeToFirstCrack() {
        if (settings_.cdfu >= 100) return 0;
        const double left = 1 - settings_.cdfu / 100;
        auto g = [&](double t) {
            double used = 0;
            for (int i = 1; i <= section_.AircraftCount(); ++i) {
                const SlabLine& line = lines_[core::SlotIndex(i)];
                if (!line.counts) continue;
                used += line.coveragesPerPass *
                        DeparturesBetween(0, t, section_.Aircraft[core::SlotIndex(i)]) /
                        std::pow(10.0, line.log10C100);
            }
            return used - left;
        };
        return Bisect(0, kLifeHorizonYears, g(0), g(kLifeHorizonYears), kFirstCrackResidual,
                      kFirstCrackInterval, g);
    }

    // Summed condition drop (SCI points) of the existing slab between times `from` and `to`:
    // each aircraft starts at the coverages of the section's SCI on its own line and adds the
    // coverages applied since the cracked stages began.
    double SlabDrop(double from, double to) const {
        double drop = 0;
        for (int i = 1; i <= section_.AircraftCount(); ++i) {
            const SlabLine& line = lines_[core::SlotIndex(i)];
            const double range = line.log10C0 - line.log10C100;
            if (!line.counts || !(range > 0)) continue;
            const core::DesignAircraft& aircraft = section_.Aircraft[core::SlotIndex(i)];
            const double start =
                std::pow(10.0, line.log10C100 + (100 - section_.SCI) * range / 100);
            const double before =
                start + line.coveragesPerPass * DeparturesBetween(crackedStart_, from, aircraft);
            const double added = line.coveragesPerPass * DeparturesBetween(from, to, aircraft);
            drop += std::log1p(added / before) / Ln10() / (range / 100);
        }
        return drop;
    }

    // Allowable coverages of the overlay under its stresses at depth 0, with the cap on
    // log10 C, each scaled by `share`.
    std::vector<double> OverlayCoverages(const OverlayStresses& stresses, double cap,
                                         double share) {
        const double f = BaseSubgradeFactor(state_, 3);
        const double c = (0.392 - 0.3881 * f) / (0.0039 * f);
        std::vector<double> allowable;
        for (int i = 1; i <= section_.AircraftCount(); ++i) {
            const double stress = stresses.stress[core::SlotIndex(i)][0];
            double log10C = kOverlayCrackedCap;  // 1e20: no limit
            if (stress >= kLeftOutStressPsi) {
                log10C = std::min(LogCoveragesAtSCI(settings_.terminalSci,
                                                    Overlay().LayerFlexStrength, stress, f, c),
                                  cap);
            }
            allowable.push_back(std::pow(10.0, log10C) * share);
        }
        return allowable;
    }

    // The time in [from, to] at which damage u0 plus the damage since `from` reaches 1.
    double FailureTime(double from, double to, double u0, double uEnd,
                       const std::vector<double>& allowable) {
        return Bisect(from, to, u0 - 1, uEnd - 1, kFailureResidual, kFailureInterval,
                      [&](double t) { return u0 + CDFBetween(state_, from, t, allowable) - 1; });
    }

    // Restores the existing slab's modulus however the stages end. It holds the section and
    // the layer's index, never a reference into the layer list: the stages poll for events,
    // and a layer list rebuilt meanwhile must not leave it writing into freed memory.
    struct ModulusGuard {
        core::CurrentSectionRecord& section;
        std::size_t index;
        float saved;
        ~ModulusGuard() {
            if (index < section.Layers.size()) section.Layers[index].LayerModulus = saved;
        }
    };

    LifeTotalResult ConcreteOverlay(const OverlayStresses& atStart, double t1) {
        double u = 0;
        if (IsConcreteOverlay(Overlay().LayerType) && settings_.cdfu < 100) {
            const std::vector<double> allowable =
                OverlayCoverages(atStart, kOverlayUncrackedCap, 1);
            u = CDFBetween(state_, 0, t1, allowable);
            // An overlay worn out before the existing slab cracks fails in this stage.
            if (u >= 1) return Finish(FailureTime(0, t1, 0, u, allowable), t1, 0, 1);
        }
        ModulusGuard guard{section_, 1, Slab().LayerModulus};
        const double e2 = guard.saved;
        const double stageDrop = section_.SCI / kConditionStages;
        const double h1 = Overlay().LayerThickness;
        crackedStart_ = t1;
        double start = t1;
        double sci = section_.SCI;
        for (int stage = 1; stage <= kConditionStages; ++stage) {
            const double mid = sci - stageDrop / 2;
            if (mid < 0) {
                EndWithMessage(state_, ui_, "CurMidSCI < 0, check input data.",
                               "Error in LifeTotal");
                result_.status = LifeTotalStatus::Error;
                return result_;
            }
            Slab().LayerModulus = core::Single(e2 * CrackedModulusShare(mid));
            if (!Analyse({-h1}, stage == 1 ? "AggErr in LifeTotal 2" : "AggErr in LifeTotal 3"))
                return result_;
            const OverlayStresses stresses = ReadOverlayStresses(state_, ui_, 1);
            if (stresses.readError) return ReadFailed();
            const std::vector<double> allowable =
                OverlayCoverages(stresses, kOverlayCrackedCap, 1 - u);
            double d = StageDuration(
                kStageGuessYears, [&](double x) { return SlabDrop(start, start + x) - stageDrop; });
            // A slab that does not finish this stage within the horizon (the traffic stops
            // or never ran) carries the overlay in this condition up to the horizon.
            const bool lastStage = !(start + d < kLifeHorizonYears);
            if (lastStage) d = std::max(kLifeHorizonYears - start, 0.0);
            const double du = CDFBetween(state_, start, start + d, allowable);
            if (u + du >= 1)
                return Finish(FailureTime(start, start + d, u, u + du, allowable), t1, stage, 1);
            if (lastStage) return Finish(kLifeHorizonYears, t1, stage, u + du, true);
            u += du;
            start += d;
            sci -= stageDrop;
            state_.Run.Damage.Overlay.Stages = stage;
        }
        return OnFullyCrackedSlab(start, u, t1, e2, h1);
    }

    // The overlay has outlasted every condition stage: it carries on over the fully cracked
    // slab until it fails, within the horizon of the first-crack search; an overlay still
    // sound at the horizon is given the horizon as its life (a lower bound, flagged).
    LifeTotalResult OnFullyCrackedSlab(double start, double u, double t1, double e2, double h1) {
        if (start >= kLifeHorizonYears) return Finish(start, t1, kConditionStages, u, true);
        Slab().LayerModulus = core::Single(e2 * CrackedModulusShare(0));
        if (!Analyse({-h1}, "AggErr in LifeTotal 3")) return result_;
        const OverlayStresses stresses = ReadOverlayStresses(state_, ui_, 1);
        if (stresses.readError) return ReadFailed();
        const std::vector<double> allowable = OverlayCoverages(stresses, kOverlayCrackedCap, 1 - u);
        const double uEnd = u + CDFBetween(state_, start, kLifeHorizonYears, allowable);
        if (uEnd < 1) return Finish(kLifeHorizonYears, t1, kConditionStages + 1, uEnd, true);
        return Finish(FailureTime(start, kLifeHorizonYears, u, uEnd, allowable), t1,
                      kConditionStages + 1, 1);
    }

    core::ProgramState& state_;
    core::UserPort& ui_;
    const OverlayLifeSettings& settings_;
    core::CurrentSectionRecord& section_;
    std::vector<SlabLine> lines_;
    double crackedStart_ = 0;
    LifeTotalResult result_;
};

}  // namespace

double LogCoveragesAtSCI(double sci, double strength, double stress, double f, double c) {
    if (!(stress > kNoLimitStressPsi)) return kNoLimitLog10;
    const double designFactor = strength / stress;
    return (designFactor - 0.2967 - 0.002267 * sci) / (f * (0.3881 + 3.9e-5 * sci * c));
}

double DeparturesBetween(double t1, double t2, const core::DesignAircraft& aircraft) {
    const double a = aircraft.AnnualDepartures, b = aircraft.AnnualGrowth;
    if (std::fabs(b) < kZeroGrowth) return a * (t2 - t1);
    // Departures from time 0 to t; beyond the time the traffic reaches zero, all there is.
    auto total = [&](double t) { return b * t >= -1 ? a * t * (1 + b * t / 2) : -a / (2 * b); };
    return total(t2) - total(t1);
}

double CoveragesPerPassAtCritical(const core::ProgramState& state, int aircraft) {
    const core::DamageTables& damage = state.Run.Damage;
    const int j = std::clamp(damage.CriticalPosition, 1, core::kLateralPositions);
    if (aircraft < 1 || aircraft > core::kMaxAircraft) return 0;
    return damage.CoveragesPerPass[static_cast<std::size_t>(aircraft)][static_cast<std::size_t>(j)];
}

double CDFBetween(const core::ProgramState& state, double t1, double t2,
                  const std::vector<double>& allowable) {
    const core::CurrentSectionRecord& section = state.Current;
    double cdf = 0;
    const int count = std::min(section.AircraftCount(), static_cast<int>(allowable.size()));
    for (int i = 1; i <= count; ++i) {
        const core::DesignAircraft& aircraft = section.Aircraft[core::SlotIndex(i)];
        if (aircraft.OverloadFlag) continue;
        cdf += DeparturesBetween(t1, t2, aircraft) * CoveragesPerPassAtCritical(state, i) /
               allowable[core::SlotIndex(i)];
    }
    return cdf;
}

OverlayStresses ReadOverlayStresses(const core::ProgramState& state, core::UserPort& ui,
                                    int depths) {
    OverlayStresses out;
    depths = std::max(depths, 1);
    const core::ReadResult file = core::ReadWholeFile(state.ProgramDir + std::string(kResultFile));
    const int count = state.Current.AircraftCount();
    const auto lines =
        ParseResultLines(file.error == 0 ? file.bytes : "", count * depths, kStressNumbers);
    for (int i = 1; i <= count; ++i) {
        ui.ProcessPendingEvents();
        std::vector<double> row;
        for (int d = 0; d < depths; ++d) {
            const auto& line = lines[static_cast<std::size_t>((i - 1) * depths + d)];
            if (!line) {
                out.readError = true;
                row.push_back(kMissingStressPsi);
                continue;
            }
            row.push_back(AdjustEdgeStress(state, i, std::fabs((*line)[kStressColumn])));
        }
        out.stress.push_back(std::move(row));
    }
    return out;
}

double Bisect(double a, double b, double fa, double fb, double residualTolerance,
              double intervalTolerance, const Residual& f) {
    if (std::fabs(fa) <= residualTolerance) return a;
    if (std::fabs(fb) <= residualTolerance) return b;
    while (true) {
        const double m = (a + b) / 2;
        const double fm = f(m);
        if (std::fabs(fm) <= residualTolerance || std::fabs(b - m) <= intervalTolerance) return m;
        if (m == a || m == b) return m;  // the interval has no midpoint left
        if (fa * fm >= 0) {
            a = m;
            fa = fm;
        } else {
            b = m;
        }
    }
}

double StageDuration(double guess, const Residual& residual) {
    double d = guess;
    const double r0 = residual(d);
    if (std::fabs(r0) < kStageResidualSci) return d;
    double previous = d, rPrevious = r0, r = r0;
    const bool grow = r0 < 0;
    for (int step = 1;; ++step) {
        if (step > kStageSearchSteps) return d;
        previous = d;
        rPrevious = r;
        d = grow ? 2 * d : d / 2;
        r = residual(d);
        if (grow ? r >= 0 : r < 0) break;
    }
    const double lo = grow ? previous : d, hi = grow ? d : previous;
    const double rLo = grow ? rPrevious : r, rHi = grow ? r : rPrevious;
    return Bisect(lo, hi, rLo, rHi, kStageResidualSci, kStageIntervalYears, residual);
}

bool IsAsphaltOverlay(int layerType) {
    return IsNamed(layerType, "AC Overlay") || IsNamed(layerType, "Undefined");
}

bool IsConcreteOverlay(int layerType) {
    return IsNamed(layerType, "PCC Overlay Unbond") || IsNamed(layerType, "PCC Overlay Part Bond");
}

LifeTotalResult LifeTotal(core::ProgramState& state, core::UserPort& ui, double thicknessIn,
                          const OverlayLifeSettings& settings) {
    return OverlayLife(state, ui, settings).Run(thicknessIn);
}

}  // namespace tavro::damage
