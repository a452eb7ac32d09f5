// The design and life runs of the structure window without the window: preconditions,
// dispatch by pavement type, time stamps, run errors, and the batch over sections. The
// structure window and the command line call these and show what they return.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/program_state.h"
#include "core/user_port.h"
#include "design/design_common.h"

namespace tavro::design {

enum class RunStatus {
    Ran,           // a procedure ran; see summary.outcome
    Refused,       // Samples, not the first instance, or no aircraft (message shown)
    Declined,      // "Already Designed" answered No
    NotAvailable,  // the pavement type's procedure is not part of this program yet (message shown)
    NotValid,      // the structure rules refused the layers, or the section has no pavement
                   // type ("The structure is not valid for design."); message shown
    RunError,      // "Math Error" or "Unanticipated Error" shown
};

std::string_view RunStatusName(RunStatus status);  // "ran", "refused", ...

struct RunOptions {
    // The window refuses runs on the built-in job; the command line designs its sections in
    // memory (saving them is refused by WriteJob).
    bool refuseSamples = true;
    bool batchRunning = false;  // a batch never asks "Already Designed"
    DesignOptions design;
};

struct LayerResult {
    std::int16_t type = 0;
    float thickness = 0;  // in (0 for the subgrade)
    float modulus = 0;    // psi
};

// One design aircraft at the critical grid position of the last damage computation.
struct AircraftResult {
    std::string name;
    float response = 0;  // strain, or design stress psi
    float allowableCoverages = 0;
    float coveragesPerPass = 0;  // at the critical position
    float totalDepartures = 0;   // of the last damage computation
    float cdf = 0;               // its share of the CDF at the critical position
};

// Figures of an overload analysis (c = c0 + c1 / DesignLife). When the regular traffic alone
// exceeds the overload budget the second run never happens: c1 = 0 and c = c0.
struct OverloadFigures {
    float c0 = 0;            // CDF of the regular traffic at the design life
    float c1 = 0;            // CDF with the overload aircraft at constant traffic
    float c = 0;             // CDF with the overload departures
    bool secondRun = false;  // c1 and c come from the second life run
    bool possible = false;   // c <= 1 after both runs
    int aircraft = 0;        // 1-based design-list number of the overload aircraft
    float departures = 0;    // its AnnualDepartures, the overload departures
};

struct RunResult {
    RunStatus status = RunStatus::Refused;
    RunMode mode = RunMode::Design;
    RunSummary summary;  // when a procedure ran
    int pavementType = 0;
    int designLayer = 0;       // layer the design adjusted (0 for life runs)
    bool timeStamped = false;  // SectionTimeStamp was set to the run's end
    std::vector<LayerResult> layers;
    std::array<float, core::kLateralPositions> cdfByPosition{};  // positions 1..41 in order
    int criticalPosition = 0;
    float asphaltCdf = 0;
    double analysisTimeMs = 0;
    std::int64_t elapsedMs = 0;  // whole run, by ui.TickMs()
    std::vector<AircraftResult> aircraft;
    std::optional<OverloadFigures> overload;  // the Life command ran the overload analysis
};

// Layer a design adjusts when a section is loaded: the layer above the subgrade for a new
// flexible pavement, else the top layer.
std::int16_t DefaultDesignLayer(const core::CurrentSectionRecord& section);

// The Design command on the current section (mode Design) or the design command run in life
// mode. Checks in order: Samples (unless allowed), the structure rules (CheckStructure; a
// refusal is NotValid), "Already Designed" (design runs outside a
// batch, a stamped section), first instance, aircraft; then runs the procedure of the
// pavement type with DesignRunning set, and stamps SectionTimeStamp with ui.NowDaySerial()
// when a design ends with DesignRunning still set. A design clears the stamp at its start, so
// one that fails or is stopped leaves the section not analysed; a life run keeps it.
// AnalysisTimeMs is reset at the start. DesignRunning is clear on return.
RunResult RunDesignCommand(core::ProgramState& state, core::UserPort& ui, RunMode mode,
                           const RunOptions& options = {});

// The Life command without batch mode: the structure rules, the "Structure Life" refusal
// without aircraft, then
// the design command in life mode. A design aircraft with the overload flag runs the
// overload analysis instead (see OverloadAnalysis).
RunResult RunLifeCommand(core::ProgramState& state, core::UserPort& ui,
                         const RunOptions& options = {});

enum class BatchEnd {
    Completed,   // every section from the first one down was designed (and saved)
    RunStopped,  // a section ended without a time stamp
    SaveFailed,  // WriteJob refused or failed (message shown)
};

struct BatchResult {
    BatchEnd end = BatchEnd::Completed;
    struct Entry {
        int slot = 0;
        std::string sectionName;
        RunResult run;
        bool saved = false;
    };
    std::vector<Entry> sections;
    int refusedSections = 0;  // skipped as not valid for design (their message shown)
};

enum class BatchSave { InMemory, SaveEach };

// Designs every section from slot `firstSlot` to the last: each is loaded (its design layer
// reset), designed without the "Already Designed" question and, with SaveEach, stored in the
// job table and the job written. A section whose structure is refused is reported (status
// NotValid, counted in refusedSections) and skipped. Stops at the first section that ends
// without a time stamp or whose save fails. Afterwards slot `firstSlot` is current again (reloaded
// from the job table when the sections were saved).
BatchResult RunBatch(core::ProgramState& state, core::UserPort& ui, int firstSlot, BatchSave save,
                     const RunOptions& options = {});

}  // namespace tavro::design
