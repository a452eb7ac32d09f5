// The run rules of the structure window's Design and Life commands, window-free.
#include "design/run_controller.h"

#include <algorithm>
#include <exception>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/day_serial.h"
#include "core/job_file.h"
#include "core/messages.h"
#include "core/narrow.h"
#include "core/number_format.h"
#include "core/section_ops.h"
#include "design/flexible_design.h"
#include "design/flexible_overlay.h"
#include "design/overlay_rigid.h"
#include "design/overload.h"
#include "design/rigid_design.h"
#include "design/structure_check.h"
#include "library/layer_library.h"

namespace tavro::design {

namespace {

core::Answer Tell(core::ProgramState& state, core::UserPort& ui, std::string_view title,
                  std::string_view text) {
    return core::ShowMessage(state, ui, text, core::Buttons::Ok, title);
}

std::string NoAircraftText(const core::ProgramState& state) {
    return JoinLines({"There are no aircraft in",
                      "job " + state.JobName + " section " + state.Current.SectionName + "."});
}

// Some design aircraft has departures. The overload analysis runs its regular traffic with
// the overload aircraft marked, and an overload on its own is still an analysis.
bool CarriesTraffic(const core::CurrentSectionRecord& section) {
    bool overload = false;
    for (const core::DesignAircraft& aircraft : section.Aircraft) {
        if (aircraft.OverloadFlag)
            overload = true;
        else if (aircraft.AnnualDepartures > 0)
            return true;
    }
    return overload;
}

// The checks of the Design command in order; a status when one of them ends the command.
std::optional<RunStatus> Preconditions(core::ProgramState& state, core::UserPort& ui, RunMode mode,
                                       const RunOptions& options) {
    const std::string samples(core::kSamplesJob);
    if (options.refuseSamples && core::IsSamplesJob(state.JobName)) {
        Tell(state, ui, "Structure in Job " + samples,
             JoinLines({"Structures in Job " + samples + " cannot", "be changed. They are included",
                        "only for building new structures.", "", "Use Copy Section in the Startup",
                        "window to create a new structure", "for design."}));
        return RunStatus::Refused;
    }
    // A job file can hold any layer sequence; the procedures only make sense of the ones the
    // structure window accepts, so nothing else is run (or asked about).
    if (CheckStructure(state, ui) == StructureStatus::Invalid) return RunStatus::NotValid;
    if (!options.batchRunning && mode == RunMode::Design &&
        !core::IsNotAnalysed(state.Current.SectionTimeStamp)) {
        const std::string completed =
            "completed on " + core::FormatTimeStamp(state.Current.SectionTimeStamp) + ".";
        const core::Answer answer = core::ShowMessage(
            state, ui,
            JoinLines({"A design for this section was", completed, "", "Do you want to continue?"}),
            core::Buttons::YesNo, "Already Designed", core::Answer::No);
        if (answer != core::Answer::Yes) return RunStatus::Declined;
    }
    if (!state.FirstInstance) {
        Tell(state, ui, "Not First Instance",
             JoinLines({"A previous instance of the program", "is, or has been, running.", "",
                        "Design solutions can only be made", "by the first instance."}));
        return RunStatus::Refused;
    }
    if (state.Current.AircraftCount() == 0) {
        Tell(state, ui, "Designing Structure", NoAircraftText(state));
        return RunStatus::Refused;
    }
    if (!CarriesTraffic(state.Current)) {
        // Without departures there is no damage to design against and no life to find;
        // the procedures would only stumble over a CDF of 0.
        Tell(state, ui, mode == RunMode::Design ? "Designing Structure" : "Structure Life",
             JoinLines({"The aircraft list of",
                        "job " + state.JobName + " section " + state.Current.SectionName,
                        "carries no traffic: no aircraft", "has any annual departures.", "",
                        "Please enter the departures of", "the design aircraft."}));
        return RunStatus::Refused;
    }
    // A strength read from a file is kept as read, but no run may use one outside the range
    // the failure model was built for.
    for (int j = 1; j <= state.Current.LayerCount(); ++j) {
        const auto& layer = state.Current.Layers[static_cast<std::size_t>(j - 1)];
        if (!library::IsPccLayer(layer.LayerType)) continue;
        if (layer.LayerFlexStrength >= library::kMinFlexStrength &&
            layer.LayerFlexStrength <= library::kMaxFlexStrength)
            continue;
        Tell(state, ui, "Concrete Strength",
             JoinLines({"Layer " + std::to_string(j) + " (" +
                            std::string(library::LayerTypeName(layer.LayerType)) +
                            ") has a flexural strength of " +
                            core::FormatMask(layer.LayerFlexStrength, "#,##0") + " psi.",
                        "A run needs a strength from " +
                            core::FormatMask(library::kMinFlexStrength, "#,##0") + " to " +
                            core::FormatMask(library::kMaxFlexStrength, "#,##0") + " psi.",
                        "", "Correct it in the structure window first."}));
        return RunStatus::Refused;
    }
    return std::nullopt;
}

RunStatus NotAvailable(core::ProgramState& state, core::UserPort& ui, std::string_view what) {
    Tell(state, ui, "Designing a Structure",
         JoinLines(
             {"The " + std::string(what), "is not available in this version of the program."}));
    state.Run.DesignRunning = false;
    return RunStatus::NotAvailable;
}

// Runs the procedure of the section's pavement type.
RunStatus Dispatch(core::ProgramState& state, core::UserPort& ui, RunMode mode,
                   const RunOptions& options, RunResult& result) {
    const int type = state.Current.PavementType;
    result.pavementType = type;
    if (type == core::kNewFlexible) {
        if (state.Run.DesignLayer < 1 || state.Run.DesignLayer >= state.Current.LayerCount())
            state.Run.DesignLayer = DefaultDesignLayer(state.Current);
        result.designLayer = mode == RunMode::Design ? state.Run.DesignLayer : 0;
        result.summary = DesignNewFlexible(state, ui, mode, options.design);
        return RunStatus::Ran;
    }
    if (type == core::kNewRigid || type == core::kPccOnFlexible) {
        result.designLayer = mode == RunMode::Design ? 1 : 0;
        result.summary = DesignRigid(state, ui, mode, options.design);
        return RunStatus::Ran;
    }
    if (type == core::kAcOnFlexible) {
        result.designLayer = mode == RunMode::Design ? 1 : 0;
        result.summary = DesignFlexibleOverlay(state, ui, mode, options.design);
        return RunStatus::Ran;
    }
    if (type == core::kUnbondedOnRigid || type == core::kPartBondedOnRigid ||
        type == core::kAcOnRigid) {
        result.designLayer = mode == RunMode::Design ? 1 : 0;
        result.summary = DesignOverlayOnRigid(state, ui, mode);
        return RunStatus::Ran;
    }
    if (state.Current.ExistingPavement) {
        return NotAvailable(
            state, ui,
            "design of \"" + std::string(core::PavementTypeReportName(type)) + "\" sections");
    }
    Tell(state, ui, "Designing a Structure", "The structure is not valid for design.");
    state.Run.DesignRunning = false;
    return RunStatus::NotValid;
}

// Run-time faults that escape a procedure, numbered as the run-error messages expect.
int FaultNumberOf(std::exception_ptr fault) {
    try {
        std::rethrow_exception(fault);
    } catch (const std::bad_alloc&) {
        return 7;  // out of memory
    } catch (const std::out_of_range&) {
        return 9;  // subscript out of range
    } catch (const std::overflow_error&) {
        return 6;
    } catch (const std::domain_error&) {
        return 5;
    } catch (...) {
        return 51;  // internal error
    }
}

void ReportRunError(core::ProgramState& state, core::UserPort& ui, int number) {
    const RunErrorText message = RunErrorMessage(number);
    ShowRunError(state, ui, message.text, message.title);
}

void CollectResults(const core::ProgramState& state, RunResult& result) {
    const core::CurrentSectionRecord& section = state.Current;
    const core::DamageTables& damage = state.Run.Damage;
    for (const core::SectionLayer& layer : section.Layers)
        result.layers.push_back({layer.LayerType, layer.LayerThickness, layer.LayerModulus});
    for (int j = 1; j <= core::kLateralPositions; ++j)
        result.cdfByPosition[core::SlotIndex(j)] =
            damage.CdfByPosition[static_cast<std::size_t>(j)];
    const int critical = damage.CriticalPosition;
    result.criticalPosition = critical;
    result.asphaltCdf = section.AsphaltCDF;
    result.analysisTimeMs = state.Run.AnalysisTimeMs;
    for (int i = 1; i <= section.AircraftCount() && i <= core::kMaxAircraft; ++i) {
        const core::DesignAircraft& aircraft = section.Aircraft[core::SlotIndex(i)];
        const auto slot = static_cast<std::size_t>(i);
        AircraftResult entry;
        entry.name = aircraft.AircraftName;
        entry.response = damage.CriticalResponse[slot];
        entry.allowableCoverages = damage.AllowableCoverages[slot];
        entry.totalDepartures = aircraft.TotalDepartures;
        if (critical >= 1 && critical <= core::kLateralPositions) {
            entry.coveragesPerPass =
                damage.CoveragesPerPass[slot][static_cast<std::size_t>(critical)];
            // Miner's share of this aircraft at the critical position; overload aircraft
            // take no part in the sum.
            if (!aircraft.OverloadFlag && entry.allowableCoverages > 0)
                entry.cdf = core::Single(static_cast<double>(entry.coveragesPerPass) *
                                         aircraft.TotalDepartures / entry.allowableCoverages);
        }
        result.aircraft.push_back(entry);
    }
}

}  // namespace

std::string_view RunStatusName(RunStatus status) {
    switch (status) {
        case RunStatus::Ran:
            return "ran";
        case RunStatus::Refused:
            return "refused";
        case RunStatus::Declined:
            return "declined";
        case RunStatus::NotAvailable:
            return "notAvailable";
        case RunStatus::NotValid:
            return "notValid";
        case RunStatus::RunError:
            return "runError";
    }
    return "refused";
}

std::int16_t DefaultDesignLayer(const core::CurrentSectionRecord& section) {
    if (section.PavementType == core::kNewFlexible && section.LayerCount() >= 2)
        return core::Int16(section.LayerCount() - 1);
    return 1;
}

RunResult RunDesignCommand(core::ProgramState& state, core::UserPort& ui, RunMode mode,
                           const RunOptions& options) {
    RunResult result;
    result.mode = mode;
    state.Run.AnalysisTimeMs = 0;
    const std::int64_t startMs = ui.TickMs();
    if (auto refused = Preconditions(state, ui, mode, options)) {
        result.status = *refused;
        return result;
    }
    state.Run.DesignRunning = true;
    state.Run.LifeMode = mode == RunMode::Life;
    if (mode == RunMode::Design) state.Current.SectionTimeStamp = core::kNotAnalysedSerial;
    ui.ProcessPendingEvents();
    state.Current.AsphaltCDF = 0;
    state.Run.IterationCount = 0;
    state.Run.Display = {};
    core::DerivePavementType(state);

    bool runError = false;
    try {
        result.status = Dispatch(state, ui, mode, options, result);
        if (result.status == RunStatus::Ran && result.summary.runError != 0) {
            ReportRunError(state, ui, result.summary.runError);
            result.status = RunStatus::RunError;
            runError = true;
        }
    } catch (...) {
        const int number = FaultNumberOf(std::current_exception());
        result.summary.runError = number;
        result.summary.outcome = DesignOutcome::Error;
        ReportRunError(state, ui, number);
        result.status = RunStatus::RunError;
        runError = true;
    }

    if (!runError && mode == RunMode::Design && state.Run.DesignRunning) {
        state.Current.SectionTimeStamp = ui.NowDaySerial();
        result.timeStamped = true;
    }
    state.Run.DesignRunning = false;
    state.Run.LifeMode = false;
    result.elapsedMs = ui.TickMs() - startMs;
    ui.ProcessPendingEvents();
    if (result.status == RunStatus::Ran || result.status == RunStatus::RunError)
        CollectResults(state, result);
    return result;
}

RunResult RunLifeCommand(core::ProgramState& state, core::UserPort& ui, const RunOptions& options) {
    if (CheckStructure(state, ui) == StructureStatus::Invalid) {
        RunResult result;
        result.mode = RunMode::Life;
        result.status = RunStatus::NotValid;
        return result;
    }
    if (const int overload = OverloadAircraftOf(state.Current); overload != 0)
        return OverloadAnalysis(state, ui, overload, options);
    if (state.Current.AircraftCount() == 0) {
        Tell(state, ui, "Structure Life", NoAircraftText(state));
        RunResult result;
        result.mode = RunMode::Life;
        return result;
    }
    return RunDesignCommand(state, ui, RunMode::Life, options);
}

BatchResult RunBatch(core::ProgramState& state, core::UserPort& ui, int firstSlot, BatchSave save,
                     const RunOptions& options) {
    BatchResult batch;
    RunOptions batchOptions = options;
    batchOptions.batchRunning = true;
    // The sections are taken by name: saving a section also takes in what other programs
    // changed in the job meanwhile, which may move the rest to other slots. A section
    // another program deleted is passed over; one it added is not part of this batch.
    std::vector<std::string> names;
    for (int slot = firstSlot; slot >= 1 && slot <= state.SectionCount(); ++slot)
        names.push_back(state.Slot(slot).SectionName);
    const auto slotOf = [&state](const std::string& name) {
        for (int slot = 1; slot <= state.SectionCount(); ++slot)
            if (state.Slot(slot).SectionName == name) return slot;
        return 0;
    };
    for (const std::string& name : names) {
        const int slot = slotOf(name);
        if (slot == 0) continue;
        state.CurrentSection = core::Int16(slot);
        core::LoadSection(state, ui);
        state.Run.DesignLayer = DefaultDesignLayer(state.Current);
        BatchResult::Entry entry;
        entry.slot = slot;
        entry.sectionName = state.Current.SectionName;
        entry.run = RunDesignCommand(state, ui, RunMode::Design, batchOptions);
        if (entry.run.status == RunStatus::NotValid) {
            // The section's structure was refused (message shown): nothing of it is run or
            // saved, and the sections after it are still designed.
            ++batch.refusedSections;
            batch.sections.push_back(std::move(entry));
            continue;
        }
        const bool stamped = !core::IsNotAnalysed(state.Current.SectionTimeStamp);
        if (stamped && save == BatchSave::SaveEach) {
            core::StoreSection(state);
            entry.saved = core::WriteJob(state, ui);
        }
        batch.sections.push_back(std::move(entry));
        if (!stamped) {
            batch.end = BatchEnd::RunStopped;
            break;
        }
        if (save == BatchSave::SaveEach && !batch.sections.back().saved) {
            batch.end = BatchEnd::SaveFailed;
            break;
        }
    }
    // Back on the section the batch started from, wherever it is now.
    const int first = names.empty() ? 0 : slotOf(names.front());
    const int back = first != 0 ? first : std::min(firstSlot, state.SectionCount());
    if (back >= 1 && !names.empty()) {
        state.CurrentSection = core::Int16(back);
        core::LoadSection(state, ui);
        state.Run.DesignLayer = DefaultDesignLayer(state.Current);
    }
    return batch;
}

}  // namespace tavro::design
