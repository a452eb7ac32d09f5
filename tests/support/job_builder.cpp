#include "support/job_builder.h"

#include "core/job_file.h"
#include "core/narrow.h"
#include "core/section_ops.h"

namespace tavro::test {

core::SectionLayer Layer(float thickness, float modulus, std::int16_t type, float strength) {
    core::SectionLayer layer;
    layer.LayerThickness = thickness;
    layer.LayerModulus = modulus;
    layer.LayerFlexStrength = strength;
    layer.LayerType = type;
    return layer;
}

core::DesignAircraft Plane(std::string name, float load, float departures, float growth) {
    core::DesignAircraft a;
    a.AircraftName = std::move(name);
    a.GrossLoad = load;
    a.AnnualDepartures = departures;
    a.AnnualGrowth = growth;
    return a;
}

core::Section SampleSection(const std::string& name, int sample) {
    core::ProgramState samples;
    core::LoadSampleJob(samples);
    core::Section s = samples.Slot(sample);
    s.SectionName = name;
    return s;
}

std::string SampleJobFile(const std::vector<std::string>& names) {
    std::vector<core::Section> sections;
    for (const auto& n : names) sections.push_back(SampleSection(n));
    return core::FormatJob(sections);
}

std::string NotesFile(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string out;
    for (const auto& [name, note] : entries)
        out += name + "\r\n" + std::to_string(note.size()) + "\r\n" + note + "\r\n";
    return out;
}

core::ProgramState StateWithSections(const std::string& dir, const std::string& jobName,
                                     std::initializer_list<const char*> names, int current) {
    core::ProgramState state;
    state.ProgramDir = dir;
    state.JobName = jobName;
    for (const char* n : names) {
        core::Section s;
        s.SectionName = n;
        state.Sections.push_back(s);
    }
    state.CurrentSection = core::Int16(current);
    return state;
}

}  // namespace tavro::test
