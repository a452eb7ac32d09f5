// Warnings for sections that depart from the standard design situation.
#pragma once

#include <string>

#include "core/section.h"

namespace tavro::design {

struct SectionWarnings {
    std::string NonStandardStructureText;
    std::string NonStandardAircraftText;
    std::string NonStandardTrafficText;
    std::string NonStandardLifeText;
};

// The four warning texts, each ending in CR LF.
SectionWarnings BuildSectionWarnings();

// The raised warnings of a prepared current section, each followed by a blank line, in the
// order aircraft model, design life, undefined layer, single aircraft.
std::string RaisedWarnings(const core::CurrentSectionRecord& section);

}  // namespace tavro::design
