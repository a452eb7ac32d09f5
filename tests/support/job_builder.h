// Builders of sections, job files, notes files and program states that the tests of the
// core, the command line and the windows share.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "core/program_state.h"
#include "core/section.h"

namespace tavro::test {

core::SectionLayer Layer(float thickness, float modulus, std::int16_t type, float strength = 0);
core::DesignAircraft Plane(std::string name, float load, float departures, float growth);

// Sample section `sample` (1-based: ACAggregate, AConFlex, NewFlexible) under `name`.
core::Section SampleSection(const std::string& name, int sample = 1);

// A job file holding sample section 1 under each of the names, in that order.
std::string SampleJobFile(const std::vector<std::string>& names);

// A notes file with these (name, note) entries.
std::string NotesFile(const std::vector<std::pair<std::string, std::string>>& entries);

// A program state in `dir` with job `jobName` open, holding bare sections of these names,
// `current` selected.
core::ProgramState StateWithSections(const std::string& dir, const std::string& jobName,
                                     std::initializer_list<const char*> names, int current);

}  // namespace tavro::test
