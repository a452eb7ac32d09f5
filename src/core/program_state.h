// The whole program state, passed explicitly: settings, the open job, the current
// section and the libraries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/section.h"
#include "core/units.h"
#include "library/aircraft_library.h"

namespace tavro::core {

inline constexpr std::string_view kSamplesJob = "Samples";
// Line break of every message and text file.
inline constexpr std::string_view NL = "\r\n";

struct ProgramState {
    std::string ProgramDir;  // always ends in '/'
    bool FirstInstance = true;
    bool DemoRunning = false;
    UnitSet Units;

    library::AircraftLibrary Aircraft;

    // The open job.
    std::string JobName;
    std::vector<Section> Sections;  // the job table; SectionCount = Sections.size()
    std::int16_t CurrentSection = 0;  // 1-based slot, 0 = none
    CurrentSectionRecord Current;

    // Job and section organization.
    std::vector<std::string> JobList;  // "Samples" first, then the job files
    std::int16_t JobListIndex = 0;
    std::string NotesText;

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
