// The overload check: two life runs of the current section, the first without the overload
// aircraft and the second with it at constant traffic.
#include "design/overload.h"

#include <charconv>
#include <vector>

#include "core/narrow.h"
#include "core/number_format.h"
#include "core/section_ops.h"

namespace tavro::design {

namespace {

// The shortest text that reads back as the same single-precision value, never in exponent
// form: departures are whole counts as a rule and must print as such ("1000000", not "1e+06").
std::string NumberText(float value) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (error != std::errc{}) return core::FormatMask(value, "0.######");
    return std::string(buffer, end);
}

std::string Cdf(float cdf) { return core::FormatMask(cdf, "##0.00"); }

bool IsOverlayOnRigid(int pavementType) {
    return pavementType == core::kUnbondedOnRigid || pavementType == core::kPartBondedOnRigid ||
           pavementType == core::kAcOnRigid;
}

// A life run that ended with the CDF at the design life in its summary. Stopped runs and run
// errors carry no such figure, and a run that never started carries none either.
bool GaveCdfAtDesignLife(const RunResult& run) {
    if (run.status != RunStatus::Ran) return false;
    switch (run.summary.outcome) {
        case DesignOutcome::Converged:
        case DesignOutcome::ResponsesTooLow:
        case DesignOutcome::NoFiniteLife:
        case DesignOutcome::NoConvergence:
            return true;
        default:
            return false;
    }
}

void Refuse(core::ProgramState& state, core::UserPort& ui) {
    core::ShowMessage(state, ui,
                      JoinLines({"The overload analysis is not available for",
                                 "overlays on rigid pavements: their life runs give",
                                 "the life of the overlay, not a CDF at the design life.", "",
                                 "Clear the overload mark in the aircraft list",
                                 "to compute the life of this section."}),
                      core::Buttons::Ok, kOverloadTitle);
}

// Puts the design aircraft list back as it was when it goes out of scope, so that no way out
// of the check (a stopped run, a run error) leaves the overload aircraft changed.
class AircraftListGuard {
public:
    explicit AircraftListGuard(core::CurrentSectionRecord& section)
        : section_(section), saved_(section.Aircraft) {}
    ~AircraftListGuard() { section_.Aircraft = saved_; }
    AircraftListGuard(const AircraftListGuard&) = delete;
    AircraftListGuard& operator=(const AircraftListGuard&) = delete;

private:
    core::CurrentSectionRecord& section_;
    std::vector<core::DesignAircraft> saved_;
};

// The two life runs; `overload` is filled when they reached a verdict. Changes the overload
// aircraft in place: the caller puts the list back.
RunResult RunBoth(core::ProgramState& state, int aircraft, const LifeRunner& lifeRun) {
    auto& list = state.Current.Aircraft;
    OverloadFigures figures;
    figures.aircraft = aircraft;
    figures.departures = list[core::SlotIndex(aircraft)].AnnualDepartures;

    // Flagged, the damage models leave the overload aircraft out: the regular traffic alone.
    list[core::SlotIndex(aircraft)].OverloadFlag = true;
    RunResult first = lifeRun();
    if (aircraft > static_cast<int>(list.size())) return first;  // the run emptied the list
    if (!GaveCdfAtDesignLife(first)) return first;
    figures.c0 = first.summary.cdf;
    if (figures.c0 > kRegularTrafficBudget) {
        figures.c = figures.c0;
        first.overload = figures;
        return first;
    }

    // Counted without growth, the overload aircraft makes DesignLife times its annual
    // departures over the design life; c1 / DesignLife scales them back to one year's worth.
    list[core::SlotIndex(aircraft)].OverloadFlag = false;
    list[core::SlotIndex(aircraft)].AnnualGrowth = 0;
    RunResult second = lifeRun();
    first.analysisTimeMs += second.analysisTimeMs;
    first.elapsedMs += second.elapsedMs;
    const int designLife = state.Current.DesignLife;
    if (!GaveCdfAtDesignLife(second) || designLife < 1) {
        second.analysisTimeMs = first.analysisTimeMs;
        second.elapsedMs = first.elapsedMs;
        return second;
    }
    figures.secondRun = true;
    figures.c1 = second.summary.cdf;
    figures.c = core::Single(static_cast<double>(figures.c0) +
                             static_cast<double>(figures.c1) / designLife);
    figures.possible = figures.c <= 1;
    first.overload = figures;
    return first;
}

}  // namespace

int OverloadAircraftOf(const core::CurrentSectionRecord& section) {
    for (int i = 1; i <= section.AircraftCount(); ++i)
        if (section.Aircraft[core::SlotIndex(i)].OverloadFlag) return i;
    return 0;
}

std::string OverloadMessage(const OverloadFigures& figures) {
    if (!figures.secondRun) return "CDF > 0.9, No overload is possible.";
    const std::string without = "CDF without overload " + Cdf(figures.c0) + ".";
    const std::string with = "CDF with overload " + Cdf(figures.c) + " for " +
                             NumberText(figures.departures) + " OVERLOAD departures.";
    if (figures.possible) return JoinLines({"Overload Possible.", without, with});
    return JoinLines({"Overload Not Possible.",
                      "Change Gross Load or Number of Departures to comply.", without, with});
}

RunResult OverloadAnalysis(core::ProgramState& state, core::UserPort& ui, int aircraft,
                           const RunOptions& options) {
    return OverloadAnalysis(state, ui, aircraft,
                            [&] { return RunDesignCommand(state, ui, RunMode::Life, options); });
}

RunResult OverloadAnalysis(core::ProgramState& state, core::UserPort& ui, int aircraft,
                           const LifeRunner& lifeRun) {
    RunResult result;
    result.mode = RunMode::Life;
    if (aircraft < 1 || aircraft > state.Current.AircraftCount()) return result;
    core::DerivePavementType(state);
    if (IsOverlayOnRigid(state.Current.PavementType)) {
        Refuse(state, ui);
        result.pavementType = state.Current.PavementType;
        return result;
    }
    {
        AircraftListGuard guard(state.Current);
        result = RunBoth(state, aircraft, lifeRun);
    }
    if (result.overload)
        core::ShowMessage(state, ui, OverloadMessage(*result.overload), core::Buttons::Ok,
                          kOverloadTitle);
    return result;
}

}  // namespace tavro::design
