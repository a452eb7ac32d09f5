#include "core/section_ops.h"

#include <algorithm>

#include "core/messages.h"
#include "core/narrow.h"
#include "core/program_state.h"
#include "library/layer_library.h"
#include "library/sample_job.h"

namespace tavro::core {

namespace {

struct PavementTypeNames {
    int code;
    std::string_view listName;
    std::string_view reportName;
};

constexpr PavementTypeNames kPavementTypeNames[] = {
    {kNewFlexible, "New Flexible", "New Flexible"},
    {kAcOnFlexible, "AC on Flexible", "AC Overlay on Flexible"},
    {kNewRigid, "New Rigid", "New Rigid"},
    {kPccOnFlexible, "PCC on Flexible", "PCC Overlay on Flexible"},
    {kUnbondedOnRigid, "Unbonded on Rigid", "Unbonded PCC Overlay on Rigid"},
    {kPartBondedOnRigid, "Part Bonded on Rigid", "Part Bonded PCC Overlay on Rigid"},
    {kAcOnRigid, "AC on Rigid", "AC Overlay on Rigid"},
};

const PavementTypeNames* FindPavementType(int code) {
    for (const auto& t : kPavementTypeNames)
        if (t.code == code) return &t;
    return nullptr;
}

std::string_view ShortName(const std::vector<SectionLayer>& layers, std::size_t i) {
    return i < layers.size() ? library::LayerTypeName(layers[i].LayerType) : std::string_view{};
}

void CopyStructure(const Section& from, Section& to) {
    to.SectionTimeStamp = from.SectionTimeStamp;
    to.AsphaltCDF = from.AsphaltCDF;
    to.SCI = from.SCI;
    to.CDFU = from.CDFU;
    to.DesignLife = from.DesignLife;
    to.Layers = from.Layers;
}

// The job table keeps only the stored aircraft fields; the derived ones belong to the
// current section.
DesignAircraft StoredAircraft(const DesignAircraft& a) {
    DesignAircraft stored;
    stored.AircraftName = a.AircraftName;
    stored.GrossLoad = a.GrossLoad;
    stored.AnnualDepartures = a.AnnualDepartures;
    stored.AnnualGrowth = a.AnnualGrowth;
    stored.OverloadFlag = a.OverloadFlag;
    return stored;
}

std::string AircraftNotThereText(std::string_view aircraft, std::string_view job,
                                 std::string_view section) {
    std::string text =
        "Aircraft " + std::string(aircraft) + " cannot be found in the Library List.";
    text += NL;
    text += "It has not been included in the aircraft list";
    text += NL;
    text += "for job " + std::string(job) + " and section " + std::string(section) + ".";
    return text;
}

}  // namespace

std::string_view PavementTypeListName(int pavementType) {
    const auto* t = FindPavementType(pavementType);
    return t ? t->listName : std::string_view{};
}

std::string_view PavementTypeReportName(int pavementType) {
    const auto* t = FindPavementType(pavementType);
    return t ? t->reportName : std::string_view{};
}

PavementClass ClassifyPavement(const std::vector<SectionLayer>& layers) {
    const std::string_view l1 = ShortName(layers, 0);
    const std::string_view l2 = ShortName(layers, 1);
    if (l1 == "Asphalt" || (l1 == "Undefined" && l2 != "PCC" && l2 != "Asphalt"))
        return {kNewFlexible, false};
    if ((l1 == "AC Overlay" && (l2 == "Undefined" || l2 == "Asphalt")) ||
        (l1 == "Undefined" && l2 == "Asphalt"))
        return {kAcOnFlexible, false};
    if (l1 == "PCC") return {kNewRigid, false};
    if (l1 == "PCC Overlay on Flex." && (l2 == "Asphalt" || l2 == "Undefined"))
        return {kPccOnFlexible, false};
    if (l1 == "PCC Overlay Unbond" && l2 == "PCC") return {kUnbondedOnRigid, true};
    if (l1 == "PCC Overlay Part Bond" && l2 == "PCC") return {kPartBondedOnRigid, true};
    if ((l1 == "AC Overlay" || l1 == "Undefined") && l2 == "PCC") return {kAcOnRigid, true};
    return {kPavementNone, false};
}

void DerivePavementType(ProgramState& state) {
    const PavementClass c = ClassifyPavement(state.Current.Layers);
    state.Current.PavementType = c.pavementType;
    state.Current.ExistingPavement = c.existingPavement;
}

void PrepareAircraft(ProgramState& state) {
    CurrentSectionRecord& cur = state.Current;
    const auto& lib = state.Aircraft;
    cur.MixedTraffic = true;
    if (cur.AircraftCount() == 1) cur.MixedTraffic = false;
    if (cur.AircraftCount() == 2) {
        const int first = cur.Aircraft[0].AircraftLibIndex;
        if (first >= 1 && first <= lib.AircraftLibCount() && lib.Entry(first).AcGearCode == "H")
            cur.MixedTraffic = false;
    }
    cur.HasB777 = false;
    for (auto& a : cur.Aircraft) {
        if (a.AircraftName.starts_with("B-777")) cur.HasB777 = true;
        if (a.AircraftLibIndex < 1 || a.AircraftLibIndex > lib.AircraftLibCount()) continue;
        const library::ContactSize contact =
            library::ComputeContactSize(lib.Entry(a.AircraftLibIndex), a.GrossLoad);
        a.ContactWidth = contact.width;
        a.ContactLength = contact.length;
        a.TotalDepartures =
            library::ComputeTotalDepartures(a.AnnualDepartures, a.AnnualGrowth, cur.DesignLife);
    }
}

void LoadSection(ProgramState& state, UserPort& ui) {
    if (state.CurrentSection < 1 || state.CurrentSection > state.SectionCount()) {
        state.Current = CurrentSectionRecord{};
        return;
    }
    Section& stored = state.Slot(state.CurrentSection);
    CurrentSectionRecord& cur = state.Current;
    cur = CurrentSectionRecord{};
    cur.SectionName = stored.SectionName;
    CopyStructure(stored, cur);
    cur.StructureDefined = std::none_of(cur.Layers.begin(), cur.Layers.end(), [](const auto& l) {
        return library::LayerTypeName(l.LayerType) == "Undefined";
    });

    // Aircraft missing from the library are dropped from the job table too, so that the
    // message is shown once and the stored list stays usable.
    const Section before = stored;
    std::size_t k = 0;
    while (k < stored.Aircraft.size()) {
        DesignAircraft& a = stored.Aircraft[k];
        if (a.AircraftName == "B-747") a.AircraftName = "B-747-200";
        const auto index = library::FindAircraft(state.Aircraft, a.AircraftName);
        if (!index) {
            ShowMessage(state, ui,
                        AircraftNotThereText(a.AircraftName, state.JobName, stored.SectionName),
                        Buttons::Ok, "Aircraft Not There");
            stored.Aircraft.erase(stored.Aircraft.begin() + static_cast<std::ptrdiff_t>(k));
            continue;
        }
        DesignAircraft copy = StoredAircraft(a);
        copy.AircraftLibIndex = Int16(*index);
        cur.Aircraft.push_back(copy);
        ++k;
    }
    // Reading is not changing: the saved image follows, so that a later save of another
    // section does not write this one over what another program may have saved.
    if (!(stored == before)) {
        for (Section& saved : state.SavedSections)
            if (saved == before) saved = stored;
    }
    DerivePavementType(state);
    PrepareAircraft(state);
}

InsertStatus InsertSection(ProgramState& state, UserPort& ui, std::string_view name) {
    auto& table = state.Sections;
    // The first slot whose name is not less than the new one; past the end when every name
    // is less (no sentinel name, so that no real name can collide with one).
    auto at = std::find_if(table.begin(), table.end(),
                           [&](const Section& s) { return !LessNoCase(s.SectionName, name); });
    // Every name is compared, not only the one at the sorted place: a job written by hand or
    // by another program need not be in name order.
    const bool exists = std::any_of(table.begin(), table.end(), [&](const Section& s) {
        return EqualsNoCase(s.SectionName, name);
    });
    if (exists) {
        std::string text = "Section " + std::string(name) + " already exists.";
        text += NL;
        text += NL;
        text += "No action will be taken.";
        ShowMessage(state, ui, text, Buttons::Ok, "Inserting a Section");
        return InsertStatus::NameExists;
    }
    Section added;
    added.SectionName = std::string(name);
    CopyStructure(state.Current, added);
    for (const auto& a : state.Current.Aircraft) {
        DesignAircraft stored = StoredAircraft(a);
        stored.OverloadFlag = false;
        added.Aircraft.push_back(stored);
    }
    const auto slot = at - table.begin();
    table.insert(at, std::move(added));
    state.CurrentSection = Int16(slot + 1);
    return InsertStatus::Inserted;
}

void StoreSection(ProgramState& state) {
    CopyStructure(state.Current, state.Slot(state.CurrentSection));
}

void StoreAircraft(ProgramState& state) {
    Section& stored = state.Slot(state.CurrentSection);
    stored.Aircraft.clear();
    for (const auto& a : state.Current.Aircraft) stored.Aircraft.push_back(StoredAircraft(a));
}

void LoadSampleJob(ProgramState& state) {
    state.Sections.clear();
    for (const auto& sample : library::SampleSections()) {
        Section s;
        s.SectionName = std::string(sample.name.substr(0, kShownNameLength));
        s.DesignLife = Int16(sample.designLife);
        s.SectionTimeStamp = kNotAnalysedSerial;
        s.AsphaltCDF = 0;
        for (const auto& l : sample.layers) {
            const auto& m = library::LayerMaterialOf(l.type);
            SectionLayer layer;
            layer.LayerType = Int16(l.type);
            layer.LayerThickness = l.thickness;
            layer.LayerModulus = m.DefaultModulus;
            layer.LayerFlexStrength =
                library::IsPccLayer(l.type) ? library::kDefaultFlexStrength : 0;
            s.Layers.push_back(layer);
        }
        const auto& top = library::LayerMaterialOf(sample.layers.front().type);
        s.SCI = top.DefaultSCI;
        s.CDFU = top.DefaultCDFU;
        for (const auto& a : sample.aircraft) {
            DesignAircraft d;
            d.AircraftName = std::string(a.name);
            d.GrossLoad = a.grossLoad;
            d.AnnualDepartures = a.annualDepartures;
            d.AnnualGrowth = a.annualGrowth;
            s.Aircraft.push_back(d);
        }
        state.Sections.push_back(std::move(s));
    }
}

}  // namespace tavro::core
