// The gear view's figures and its gross-load change.
#include "control/gear_view_controller.h"

#include <algorithm>

#include "core/messages.h"
#include "core/narrow.h"
#include "core/number_format.h"
#include "core/section_ops.h"

namespace tavro::control {

GearViewController::GearViewController(core::ProgramState& state, core::UserPort& ui, int row)
    : state_(state), ui_(ui) {
    Select(row);
}

std::string GearViewController::Title() const {
    return "TAVRO - Aircraft Data for Section " + state_.Current.SectionName + " in Job " +
           state_.JobName;
}

std::string GearViewController::ListCaption() const { return state_.Current.SectionName + " a/c"; }

std::vector<std::string> GearViewController::AircraftNames() const {
    std::vector<std::string> names;
    for (const auto& a : state_.Current.Aircraft) names.push_back(a.AircraftName);
    return names;
}

bool GearViewController::Valid() const {
    return selected_ >= 0 && selected_ < state_.Current.AircraftCount();
}

const library::AircraftEntry* GearViewController::Entry() const {
    if (!Valid()) return nullptr;
    const int lib = state_.Current.Aircraft[static_cast<std::size_t>(selected_)].AircraftLibIndex;
    if (lib < 1 || lib > state_.Aircraft.AircraftLibCount()) return nullptr;
    return &state_.Aircraft.Entry(lib);
}

void GearViewController::Select(int row) {
    const int count = state_.Current.AircraftCount();
    selected_ = count == 0 ? -1 : std::clamp(row, 0, count - 1);
    CheckGrossLoad();
}

void GearViewController::CheckGrossLoad() {
    if (!Entry() || state_.Run.DesignRunning) return;
    auto& a = state_.Current.Aircraft[static_cast<std::size_t>(selected_)];
    // An in-range load is kept to the last bit, whatever the display units.
    const double d = DefaultGrossLoad(state_, selected_);
    if (a.GrossLoad >= kMinLoadFactor * d && a.GrossLoad <= kMaxLoadFactor * d) return;
    a.GrossLoad = CheckedGrossLoad(state_, ui_, DefaultGrossLoad(state_, selected_),
                                   a.GrossLoad * state_.Units.load.factor, LoadLabel::With);
    core::PrepareAircraft(state_);
}

std::string GearViewController::GrossLoadText() const {
    if (!Valid()) return "";
    const auto& a = state_.Current.Aircraft[static_cast<std::size_t>(selected_)];
    return ShownLoad(state_, a.GrossLoad) + " " + state_.Units.load.label;
}

std::string GearViewController::PercentText() const {
    const library::AircraftEntry* e = Entry();
    return e ? core::FormatMask(e->AcGearShare * 100.0, "###.0") : "";
}

std::string GearViewController::TirePressureText() const {
    const library::AircraftEntry* e = Entry();
    if (!e) return "";
    const core::UnitQuantity& p = state_.Units.pressure;
    return core::FormatMask(e->AcTirePressure * p.factor, p.mask) + " " + p.label;
}

library::GearPlan GearViewController::Plan() const {
    const library::AircraftEntry* e = Entry();
    if (!e) return {};
    return library::PlanGear(
        *e, state_.Current.Aircraft[static_cast<std::size_t>(selected_)].GrossLoad);
}

EditStatus GearViewController::ChangeGrossLoad() {
    if (!Entry() || state_.Run.DesignRunning) return EditStatus::Refused;
    if (RefuseInSamples(state_, ui_)) return EditStatus::Refused;
    const auto& a = state_.Current.Aircraft[static_cast<std::size_t>(selected_)];
    float value = core::Single(a.GrossLoad * state_.Units.load.factor);
    const std::string prompt =
        GrossLoadPrompt(state_, selected_, core::NL, state_.Units.load.label);
    if (!core::PromptNumber(state_, ui_, prompt, "Change Aircraft Gross Load", value))
        return EditStatus::Refused;
    return SetGrossLoad(value);
}

EditStatus GearViewController::SetGrossLoad(double entered) {
    if (!Entry() || state_.Run.DesignRunning) return EditStatus::Refused;
    if (RefuseInSamples(state_, ui_)) return EditStatus::Refused;
    const std::optional<int> partner = FindPartner(state_, selected_);
    state_.Current.Aircraft[static_cast<std::size_t>(selected_)].GrossLoad = CheckedGrossLoad(
        state_, ui_, DefaultGrossLoad(state_, selected_), entered, LoadLabel::With);
    ApplyToPartner(state_, ui_, selected_, partner);
    core::PrepareAircraft(state_);
    return EditStatus::Done;
}

}  // namespace tavro::control
