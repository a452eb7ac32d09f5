#include "design/section_warnings.h"

#include "core/program_state.h"

namespace tavro::design {

SectionWarnings BuildSectionWarnings() {
    const std::string nl(core::NL);
    SectionWarnings w;
    w.NonStandardStructureText = "The pavement structure includes an undefined layer." + nl;
    w.NonStandardAircraftText = nl;
    w.NonStandardTrafficText = "The aircraft list contains only one aircraft." + nl;
    w.NonStandardLifeText = "The section does not have a design life of 20 years." + nl;
    return w;
}

std::string RaisedWarnings(const core::CurrentSectionRecord& section) {
    const SectionWarnings w = BuildSectionWarnings();
    const std::string nl(core::NL);
    std::string out;
    if (!section.HasB777) out += w.NonStandardAircraftText + nl;
    if (section.DesignLife != 20) out += w.NonStandardLifeText + nl;
    if (!section.StructureDefined) out += w.NonStandardStructureText + nl;
    if (!section.MixedTraffic) out += w.NonStandardTrafficText + nl;
    return out;
}

}  // namespace tavro::design
