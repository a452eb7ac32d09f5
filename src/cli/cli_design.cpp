// tavro-cli design, life and report: the runs of the structure window and the section
// report, from the command line. Ctrl-C stops a run the way the Interrupt button does.
#include <cmath>
#include <csignal>
#include <limits>

#include "cli/cli_context.h"
#include "core/job_file.h"
#include "core/notes_file.h"
#include "core/number_format.h"
#include "core/section_ops.h"
#include "design/report.h"
#include "design/run_controller.h"
#include "library/layer_library.h"

namespace tavro::cli {

namespace {

using design::RunMode;
using design::RunResult;

// Runs are saved as the window saves them: the structure into the job table, then the file.
bool SaveSection(Run& r) {
    core::StoreSection(r.state);
    return core::WriteJob(r.state, r.port);
}

// A run ended with a result worth keeping: a designed structure (also at its minimum
// thickness) or a computed life (also none).
bool Succeeded(const RunResult& run) {
    using design::DesignOutcome;
    if (run.status != design::RunStatus::Ran) return false;
    const auto o = run.summary.outcome;
    return o == DesignOutcome::Converged || o == DesignOutcome::MinimumReached ||
           o == DesignOutcome::NoFiniteLife;
}

bool IsOverlayOnRigid(int pavementType) {
    return pavementType == core::kUnbondedOnRigid || pavementType == core::kPartBondedOnRigid ||
           pavementType == core::kAcOnRigid;
}

// The life the structure window shows: an overlay on a rigid pavement shows the total life
// of existing slab and overlay, in design and life runs alike.
std::optional<float> ShownLife(const RunResult& run, const core::DamageTables& damage) {
    if (run.status != design::RunStatus::Ran) return std::nullopt;
    // A run refused, failed or given up inside the procedure has no life for the structure
    // it leaves (an overlay design that gives up restores the overlay it started from).
    if (run.summary.outcome == design::DesignOutcome::Error ||
        run.summary.outcome == design::DesignOutcome::NoConvergence)
        return std::nullopt;
    if (IsOverlayOnRigid(run.pavementType)) return damage.Overlay.TotalLife;
    if (run.mode == RunMode::Life && std::isfinite(run.summary.life)) return run.summary.life;
    return std::nullopt;
}

json ResultJson(const RunResult& run, const core::DamageTables& damage) {
    json byPosition = json::array();
    for (float v : run.cdfByPosition) byPosition.push_back(Stored(v));
    json aircraft = json::array();
    for (const auto& a : run.aircraft)
        aircraft.push_back({{"name", a.name},
                            {"response", Stored(a.response)},
                            {"allowableCoverages", Stored(a.allowableCoverages)},
                            {"coveragesPerPass", Stored(a.coveragesPerPass)},
                            {"totalDepartures", Stored(a.totalDepartures)},
                            {"cdf", Stored(a.cdf)}});
    const bool ran = run.status == design::RunStatus::Ran;
    json result = {
        {"mode", run.mode == RunMode::Design ? "design" : "life"},
        {"status", design::RunStatusName(run.status)},
        {"outcome", ran ? json(design::OutcomeName(run.summary.outcome)) : json(nullptr)},
        {"why", run.summary.why},
        {"cdf", Stored(run.summary.cdf)},
        {"firstCrackCDF", Stored(run.summary.firstCrackCdf)},
        {"life", ShownLife(run, damage) ? json(Stored(*ShownLife(run, damage))) : json(nullptr)},
        {"iterations", run.summary.iterations},
        {"designLayer", run.designLayer},
        {"criticalPosition", run.criticalPosition},
        {"cdfByPosition", byPosition},
        {"asphaltCDF", Stored(run.asphaltCdf)},
        {"analysisTimeMs", run.analysisTimeMs},
        {"aircraft", aircraft}};
    if (ran && IsOverlayOnRigid(run.pavementType)) {
        const auto& o = damage.Overlay;
        result["overlay"] = {{"T1", Stored(o.T1)},
                             {"lifeAdded", Stored(o.LifeAdded)},
                             {"stages", o.Stages},
                             {"overlayDamage", Stored(o.OverlayDamage)},
                             {"lifeCapped", o.LifeCapped}};
    }
    if (run.overload) {
        result["overload"] = {{"c0", Stored(run.overload->c0)},
                              {"c1", Stored(run.overload->c1)},
                              {"c", Stored(run.overload->c)},
                              {"possible", run.overload->possible}};
    }
    return result;
}

void PrintResultText(Run& r, const RunResult& run) {
    std::ostream& o = r.out;
    const auto& c = r.state.Current;
    o << "Section " << c.SectionName << " in job " << r.state.JobName << ": "
      << (run.mode == RunMode::Design ? "design" : "life") << " ";
    if (run.status != design::RunStatus::Ran) {
        o << design::RunStatusName(run.status) << "\n";
        return;
    }
    o << design::OutcomeName(run.summary.outcome) << " after " << run.summary.iterations
      << " iterations";
    if (!run.summary.why.empty()) o << " (" << run.summary.why << ")";
    o << "\n";
    for (int i = 0; i < c.LayerCount(); ++i) {
        const auto& l = c.Layers[static_cast<std::size_t>(i)];
        std::string name(library::LayerTypeName(l.LayerType));
        name.resize(24, ' ');
        o << "  " << (i + 1 == run.designLayer ? "-->" : "   ") << " " << i + 1 << "  " << name
          << (i + 1 < c.LayerCount() ? core::FormatMask(l.LayerThickness, "0.00") + " in"
                                     : std::string("subgrade"))
          << "   "
          << core::FormatMask(l.LayerFlexStrength > 0 ? l.LayerFlexStrength : l.LayerModulus,
                              "#,##0")
          << (l.LayerFlexStrength > 0 ? " psi (R)" : " psi") << "\n";
    }
    o << "CDF = " << core::FormatMask(run.summary.cdf, "0.0000");
    if (c.PavementType == core::kNewRigid || c.PavementType == core::kPccOnFlexible)
        o << "   first-crack CDF = " << core::FormatMask(run.summary.firstCrackCdf, "0.00") << " %";
    if (run.criticalPosition > 0)
        o << "   critical position " << run.criticalPosition
          << " (x = " << (run.criticalPosition - 1) * 10 << " in)";
    o << "\n";
    if (c.PavementType == core::kAcOnFlexible && run.asphaltCdf >= 0)
        o << "Asphalt CDF = " << core::FormatMask(run.asphaltCdf, "0.0000") << "\n";
    if (const auto life = ShownLife(run, r.state.Run.Damage)) {
        o << "Life = " << core::FormatMask(*life, "0.00") << " years";
        if (IsOverlayOnRigid(run.pavementType)) {
            const auto& ov = r.state.Run.Damage.Overlay;
            o << " (existing slab uncracked " << core::FormatMask(ov.T1, "0.00")
              << ", overlay added " << core::FormatMask(ov.LifeAdded, "0.00") << ", " << ov.Stages
              << " stages" << (ov.LifeCapped ? ", at least" : "") << ")";
        }
        o << "\n";
    } else if (run.mode == RunMode::Life && run.status == design::RunStatus::Ran &&
               run.summary.outcome == design::DesignOutcome::NoFiniteLife) {
        o << "Life = no finite life\n";
    }
    for (const auto& a : run.aircraft) {
        std::string name = a.name;
        name.resize(22, ' ');
        o << "  " << name << "response " << core::FormatMask(a.response, "0.0000E+00")
          << "   allowable coverages " << core::FormatMask(a.allowableCoverages, "0.000E+00")
          << "   coverages/pass " << core::FormatMask(a.coveragesPerPass, "0.0000")
          << "   departures " << core::FormatMask(a.totalDepartures, "#,##0") << "   CDF "
          << core::FormatMask(a.cdf, "0.0000") << "\n";
    }
    if (run.overload) {
        o << "Overload: c0 = " << core::FormatMask(run.overload->c0, "0.0000")
          << ", c1 = " << core::FormatMask(run.overload->c1, "0.0000")
          << ", c = " << core::FormatMask(run.overload->c, "0.0000") << ": "
          << (run.overload->possible ? "possible" : "not possible") << "\n";
    }
    o << "Analysis time: " << core::FormatMask(run.analysisTimeMs, "0") << " ms\n";
}

// ---- Ctrl-C ------------------------------------------------------------------------

volatile std::sig_atomic_t interruptRequested = 0;

extern "C" void OnInterrupt(int) {
    interruptRequested = 1;
    std::signal(SIGINT, SIG_DFL);  // a second Ctrl-C ends the program
}

// Stops the running design at its next event poll, as the Interrupt button does.
class InterruptOnCtrlC {
public:
    explicit InterruptOnCtrlC(Run& r) {
        interruptRequested = 0;
        std::signal(SIGINT, OnInterrupt);
        r.port.SetEventHook([&state = r.state] {
            if (interruptRequested) state.Run.DesignRunning = false;
        });
        port_ = &r.port;
    }
    ~InterruptOnCtrlC() {
        std::signal(SIGINT, SIG_DFL);
        port_->SetEventHook({});
    }
    InterruptOnCtrlC(const InterruptOnCtrlC&) = delete;
    InterruptOnCtrlC& operator=(const InterruptOnCtrlC&) = delete;

private:
    CliPort* port_ = nullptr;
};

design::RunOptions CliRunOptions() {
    design::RunOptions options;
    options.refuseSamples = false;  // Samples are designed in memory; saving them is refused
    return options;
}

// Marks the aircraft named on the command line (name, or its 1-based place in the list)
// as the overload aircraft of this run; the job table is not changed.
std::optional<int> MarkOverload(Run& r) {
    if (r.opt.overload.empty()) return std::nullopt;
    auto& aircraft = r.state.Current.Aircraft;
    std::size_t found = aircraft.size();
    for (std::size_t k = 0; k < aircraft.size() && found == aircraft.size(); ++k)
        if (aircraft[k].AircraftName == r.opt.overload) found = k;
    for (std::size_t k = 0; k < aircraft.size() && found == aircraft.size(); ++k)
        if (core::EqualsNoCase(aircraft[k].AircraftName, r.opt.overload)) found = k;
    if (found == aircraft.size()) {
        const auto number = core::ParseNumber(r.opt.overload);
        if (number && *number >= 1 && *number <= static_cast<double>(aircraft.size()) &&
            *number == std::floor(*number))
            found = static_cast<std::size_t>(*number) - 1;
    }
    if (found == aircraft.size())
        return r.Refuse("Overload Aircraft", "Aircraft " + r.opt.overload +
                                                 " is not in the design list of section " +
                                                 r.state.Current.SectionName + ".");
    aircraft[found].OverloadFlag = true;
    return std::nullopt;
}

int RunOne(Run& r, RunMode mode) {
    if (auto stop = SelectSectionByName(r)) return *stop;
    if (auto stop = MarkOverload(r)) return *stop;
    r.state.Run.DesignLayer = design::DefaultDesignLayer(r.state.Current);
    InterruptOnCtrlC interrupt(r);
    const RunResult run = mode == RunMode::Design
                              ? design::RunDesignCommand(r.state, r.port, mode, CliRunOptions())
                              : design::RunLifeCommand(r.state, r.port, CliRunOptions());
    r.port.EndProgressLine();
    bool ok = Succeeded(run);
    bool saved = false;
    if (ok && r.opt.save) {
        // Only a design that ended with the section designed (stamped, as the batch saves)
        // is written: a run that gave up may have left trial thicknesses behind.
        saved = (mode != RunMode::Design || run.timeStamped) && SaveSection(r);
        ok = saved;
    }
    if (r.opt.json) {
        json doc = {{"job", r.state.JobName},
                    {"section", SectionJson(r.state.Current)},
                    {"result", ResultJson(run, r.state.Run.Damage)}};
        if (r.opt.save) doc["saved"] = saved;
        r.PrintJson(doc);
    } else {
        PrintResultText(r, run);
        if (r.opt.save) r.out << (saved ? "Saved.\n" : "Not saved.\n");
    }
    return ok ? kExitOk : kExitRefused;
}

int RunAll(Run& r) {
    if (r.state.SectionCount() == 0)
        return r.Refuse("Designing a Structure",
                        "There are no sections in job " + r.state.JobName + ".");
    InterruptOnCtrlC interrupt(r);
    const auto save = r.opt.save ? design::BatchSave::SaveEach : design::BatchSave::InMemory;
    const design::BatchResult batch = design::RunBatch(r.state, r.port, 1, save, CliRunOptions());
    r.port.EndProgressLine();
    const char* end = batch.end == design::BatchEnd::Completed    ? "completed"
                      : batch.end == design::BatchEnd::RunStopped ? "runStopped"
                                                                  : "saveFailed";
    if (r.opt.json) {
        json sections = json::array();
        for (const auto& e : batch.sections)
            sections.push_back({{"slot", e.slot},
                                {"name", e.sectionName},
                                {"result", ResultJson(e.run, r.state.Run.Damage)},
                                {"layers",
                                 [&] {
                                     json layers = json::array();
                                     for (const auto& l : e.run.layers)
                                         layers.push_back({{"type", l.type},
                                                           {"thickness", Stored(l.thickness)},
                                                           {"modulus", Stored(l.modulus)}});
                                     return layers;
                                 }()},
                                {"saved", e.saved}});
        r.PrintJson({{"job", r.state.JobName},
                     {"end", end},
                     {"refusedSections", batch.refusedSections},
                     {"sections", sections}});
    } else {
        for (const auto& e : batch.sections) {
            r.out << e.slot << "  " << e.sectionName << ": "
                  << (e.run.status == design::RunStatus::Ran
                          ? std::string(design::OutcomeName(e.run.summary.outcome))
                          : std::string(design::RunStatusName(e.run.status)))
                  << ", CDF " << core::FormatMask(e.run.summary.cdf, "0.0000") << ", "
                  << e.run.summary.iterations << " iterations" << (e.saved ? ", saved" : "")
                  << "\n";
        }
        r.out << "Batch " << end << ".\n";
    }
    if (!r.opt.json && batch.refusedSections > 0)
        r.out << batch.refusedSections << " section(s) refused by the structure rules.\n";
    return batch.end == design::BatchEnd::Completed && batch.refusedSections == 0 ? kExitOk
                                                                                  : kExitRefused;
}

}  // namespace

int CmdDesign(Run& r) {
    if (auto stop = OpenJob(r)) return *stop;
    if (r.opt.all) return RunAll(r);
    if (r.opt.section.empty())
        return r.Refuse("Designing a Structure", "Name a section, or give --all.");
    return RunOne(r, RunMode::Design);
}

int CmdLife(Run& r) {
    if (auto stop = OpenJob(r)) return *stop;
    return RunOne(r, RunMode::Life);
}

int CmdReport(Run& r) {
    if (auto stop = OpenJob(r)) return *stop;
    if (auto stop = SelectSectionByName(r)) return *stop;
    if (!core::ReadNotes(r.state, r.port)) return r.Finish(core::OpStatus::Failed, "report");
    const design::SectionReport report = design::BuildReport(r.state);
    const std::string text =
        design::ReportWithNotes(report, r.state.NotesText, design::ReportDestination::Clipboard);
    if (r.opt.json) {
        r.PrintJson({{"job", r.state.JobName},
                     {"section", r.state.Current.SectionName},
                     {"report", text},
                     {"screen", report.screen}});
    } else {
        r.out << TerminalText(text);
        if (!text.empty() && text.back() != '\n') r.out << "\n";
    }
    return kExitOk;
}

}  // namespace tavro::cli
