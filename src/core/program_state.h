// The whole program state, passed explicitly: settings, the open job, the current
// section and the libraries.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/run_progress.h"
#include "core/section.h"
#include "core/units.h"
#include "library/aircraft_library.h"

namespace tavro::core {

inline constexpr std::string_view kSamplesJob = "Samples";
// Line break of every message and text file.
inline constexpr std::string_view NL = "\r\n";

inline constexpr int kLateralPositions = 41;  // x = 0, 10, ... 400 in

// What the life model of an overlay on a rigid pavement found for the last overlay thickness.
struct OverlayLifeFigures {
    float T1 = 0;             // years until the existing slab first cracks
    float LifeAdded = 0;      // years the overlay lasts after that first crack
    float TotalLife = 0;      // T1 + LifeAdded
    float OverlayDamage = 0;  // overlay damage when the computation ended (1 when it failed)
    int Stages = 0;           // condition stages of the existing slab passed through
    bool LifeCapped = false;  // the overlay outlasted the horizon: TotalLife is a lower bound
};

// What the damage models leave behind for the windows and the report. Aircraft and
// grid positions are 1-based (index 0 unused).
struct DamageTables {
    // Coverages per pass of aircraft i at grid position j.
    std::array<std::array<float, kLateralPositions + 1>, kMaxAircraft + 1> CoveragesPerPass{};
    std::array<float, kLateralPositions + 1> CdfByPosition{};         // flexible, or rigid SCI 80
    std::array<float, kLateralPositions + 1> FirstCrackByPosition{};  // rigid, first crack
    std::array<float, kMaxAircraft + 1> CriticalResponse{};  // strain or design stress read back
    std::array<double, kMaxAircraft + 1> Log10Coverages{};   // log10 of allowable coverages
    std::array<float, kMaxAircraft + 1> AllowableCoverages{};
    int CriticalPosition = 0;  // first position holding the largest CDF, 1..41
    float Cdf = 0;
    float FirstCrackCdf = 0;  // percent
    bool StressesTooLow = false;
    OverlayLifeFigures Overlay;  // overlays on rigid pavements only
};

// Run-wide state shared by the structure window and the design procedures.
struct RunState {
    bool DesignRunning = false;  // cleared to stop a run (interrupt, errors)
    bool LifeMode = false;
    // Sublayering switch of the aggregate layers: off at the start of a design, on for a
    // life computation and once a design is near convergence.
    bool SublayeringOn = false;
    double LnCdf = 1e30;  // ln CDF of the current design iteration (large: not yet known)
    int IterationCount = 0;
    std::int16_t DesignLayer = 0;  // layer whose thickness a design adjusts
    // Sublayer counts last used for the aggregate base and subbase (kept for the program run).
    int BaseSublayers = 1;
    int SubbaseSublayers = 1;
    double AnalysisTimeMs = 0;  // running total of analysis time
    // Response kind of the last analysis ("VerticalStrain", ...): a pavement type without a
    // kind of its own keeps it.
    std::string LastResponseKind = "VerticalStrain";
    DamageTables Damage;
    RunDisplay Display;  // what the progress line shows besides the count and structure
};

// What the aircraft window keeps from one opening to the next, for as long as the program
// runs: the floating list (stored aircraft fields and library index; never written to a
// file) and the selections shown again when the window opens.
struct AircraftWindowMemory {
    std::vector<DesignAircraft> FloatingList;  // at most kMaxAircraft
    std::int16_t SelectedGroup = 0;            // 0-based list rows
    std::int16_t SelectedLibAircraft = 0;
    std::int16_t SelectedRow = 1;  // 1-based grid row when the window last closed
};

struct ProgramState {
    std::string ProgramDir;  // always ends in '/'
    bool FirstInstance = true;
    bool DemoRunning = false;
    UnitSet Units;

    library::AircraftLibrary Aircraft;
    RunState Run;

    // The open job.
    std::string JobName;
    std::vector<Section> Sections;    // the job table; SectionCount = Sections.size()
    std::int16_t CurrentSection = 0;  // 1-based slot, 0 = none
    CurrentSectionRecord Current;
    // The job table as last read from or saved to the job file: a save writes only what
    // changed since, over what the file holds by then (another program may have saved).
    std::vector<Section> SavedSections;
    // Not empty when the open job could not be read whole: every change is refused, with
    // this reason.
    std::string ReadOnlyReason;

    // Job and section organization.
    std::vector<std::string> JobList;  // "Samples" first, then the job files
    std::int16_t JobListIndex = 0;
    std::string NotesText;

    AircraftWindowMemory AircraftWindow;

    int SectionCount() const { return static_cast<int>(Sections.size()); }
    // Slot i (1-based) of the job table; aborts outside 1..SectionCount.
    Section& Slot(int i);
    const Section& Slot(int i) const;
};

// Case-insensitive (ASCII) comparison used for job and section names.
bool EqualsNoCase(std::string_view a, std::string_view b);
// a < b without regard to case (ASCII).
bool LessNoCase(std::string_view a, std::string_view b);

bool IsSamplesJob(std::string_view jobName);

}  // namespace tavro::core
