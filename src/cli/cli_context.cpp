#include "cli/cli_context.h"

#include <charconv>

#include "core/day_serial.h"
#include "core/narrow.h"
#include "core/number_format.h"
#include "core/section_ops.h"
#include "library/layer_library.h"

namespace tavro::cli {

double Stored(float value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    double shown = value;
    std::from_chars(text, end, shown);
    return shown;
}

std::string Shown(double stored, const core::UnitQuantity& q) {
    return core::FormatMask(stored * q.factor, q.mask);
}

bool IsListed(const ProgramState& s, const std::string& job) {
    for (const auto& j : s.JobList)
        if (j == job || core::EqualsNoCase(j, job)) return true;
    return false;
}

std::string ListedName(const ProgramState& s, const std::string& job) {
    for (const auto& j : s.JobList)
        if (j == job) return j;
    for (const auto& j : s.JobList)
        if (core::EqualsNoCase(j, job)) return j;
    return job;
}

std::optional<int> OpenJob(Run& r) {
    if (!IsListed(r.state, r.opt.job))
        return r.Refuse("Opening a Job", "Job " + r.opt.job + " does not exist in directory " +
                                             r.state.ProgramDir + ".");
    const std::string name = ListedName(r.state, r.opt.job);
    for (std::size_t i = 0; i < r.state.JobList.size(); ++i)
        if (r.state.JobList[i] == name) r.state.JobListIndex = core::Int16(static_cast<long>(i));
    if (!core::LoadJob(r.state, r.port, name)) {
        r.damagedJob = true;
        // `show` lists what could be read; every other command stops here.
        if (r.opt.json && !(r.isShow && r.opt.section.empty())) r.PrintJson({{"status", "failed"}});
        return kExitRefused;
    }
    core::FillSectionList(r.state, r.port);
    return std::nullopt;
}

std::optional<int> SelectSectionByName(Run& r) {
    int found = 0;
    for (int i = 1; i <= r.state.SectionCount() && !found; ++i)
        if (r.state.Slot(i).SectionName == r.opt.section) found = i;
    for (int i = 1; i <= r.state.SectionCount() && !found; ++i)
        if (core::EqualsNoCase(r.state.Slot(i).SectionName, r.opt.section)) found = i;
    if (!found)
        return r.Refuse("Selecting a Section",
                        "Section " + r.opt.section + " is not in job " + r.state.JobName + ".");
    core::SelectSection(r.state, r.port, found);
    return std::nullopt;
}

json SectionJson(const core::CurrentSectionRecord& c) {
    json layers = json::array();
    for (const auto& l : c.Layers)
        layers.push_back({{"type", l.LayerType},
                          {"typeName", library::LayerTypeName(l.LayerType)},
                          {"thickness", Stored(l.LayerThickness)},
                          {"modulus", Stored(l.LayerModulus)},
                          {"flexStrength", Stored(l.LayerFlexStrength)}});
    json aircraft = json::array();
    for (const auto& a : c.Aircraft)
        aircraft.push_back({{"name", a.AircraftName},
                            {"grossLoad", Stored(a.GrossLoad)},
                            {"annualDepartures", Stored(a.AnnualDepartures)},
                            {"annualGrowth", Stored(a.AnnualGrowth)},
                            {"overload", a.OverloadFlag},
                            {"contactWidth", Stored(a.ContactWidth)},
                            {"contactLength", Stored(a.ContactLength)},
                            {"totalDepartures", Stored(a.TotalDepartures)}});
    return {{"name", c.SectionName},
            {"pavementType", c.PavementType},
            {"pavementTypeName", core::PavementTypeListName(c.PavementType)},
            {"existingPavement", c.ExistingPavement},
            {"designLife", c.DesignLife},
            {"sci", Stored(c.SCI)},
            {"cdfu", Stored(c.CDFU)},
            {"analysed", !core::IsNotAnalysed(c.SectionTimeStamp)},
            {"timeStamp", core::FormatTimeStamp(c.SectionTimeStamp)},
            {"asphaltCDF", Stored(c.AsphaltCDF)},
            {"layers", layers},
            {"aircraft", aircraft}};
}

}  // namespace tavro::cli
