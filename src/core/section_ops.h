// Moving sections between the job table and the current section, and what is derived
// when a section is loaded (pavement type, library indices, tire contact, departures).
#pragma once

#include <string_view>

#include "core/section.h"
#include "core/user_port.h"

namespace tavro::core {

struct ProgramState;

// Name of a pavement type in the section list ("" for type 0) and in the report.
std::string_view PavementTypeListName(int pavementType);
std::string_view PavementTypeReportName(int pavementType);

// Pavement type code of a structure from its two top layers, and whether it is an
// overlay on an existing rigid pavement.
struct PavementClass {
    std::int16_t pavementType = kPavementNone;
    bool existingPavement = false;
};
PavementClass ClassifyPavement(const std::vector<SectionLayer>& layers);

// Sets PavementType and ExistingPavement of the current section.
void DerivePavementType(ProgramState& state);

// Derives the contact size and total departures of the current section's design
// aircraft, and MixedTraffic and HasB777.
void PrepareAircraft(ProgramState& state);

// Copies slot CurrentSection of the job table into the current section and derives its
// values. Design aircraft missing from the library are dropped with the "Aircraft Not
// There" message (from the job table too); "B-747" becomes "B-747-200".
void LoadSection(ProgramState& state, UserPort& ui);

enum class InsertStatus { Inserted, NameExists };
// Adds the current section to the job table under `name` at its sorted place (case-
// insensitive) and makes that slot current. A duplicate name is refused with the
// "Inserting a Section" message and leaves the table unchanged. The caller ensures room.
InsertStatus InsertSection(ProgramState& state, UserPort& ui, std::string_view name);

// Copies the structure fields of the current section back into slot CurrentSection.
void StoreSection(ProgramState& state);

// Copies the design aircraft list of the current section back into slot CurrentSection.
void StoreAircraft(ProgramState& state);

// Fills the job table with the three sample sections ("Samples").
void LoadSampleJob(ProgramState& state);

}  // namespace tavro::core
