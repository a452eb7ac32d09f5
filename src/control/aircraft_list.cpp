// Rules of the design aircraft list that more than one window applies.
#include "control/aircraft_list.h"

#include <cmath>

#include "core/messages.h"
#include "core/narrow.h"
#include "core/number_format.h"

namespace tavro::control {

namespace {

constexpr std::string_view kBellySuffix = " Belly";

const core::DesignAircraft& Row(const core::ProgramState& state, int row) {
    return state.Current.Aircraft.at(static_cast<std::size_t>(row));
}

bool SameTraffic(const core::DesignAircraft& a, const core::DesignAircraft& b) {
    return a.GrossLoad == b.GrossLoad && a.AnnualDepartures == b.AnnualDepartures &&
           a.AnnualGrowth == b.AnnualGrowth;
}

}  // namespace

std::string_view GearCodeOf(const core::ProgramState& state, int row) {
    const int lib = Row(state, row).AircraftLibIndex;
    if (lib < 1 || lib > state.Aircraft.AircraftLibCount()) return {};
    return state.Aircraft.Entry(lib).AcGearCode;
}

float DefaultGrossLoad(const core::ProgramState& state, int row) {
    const int lib = Row(state, row).AircraftLibIndex;
    if (lib < 1 || lib > state.Aircraft.AircraftLibCount()) return Row(state, row).GrossLoad;
    return state.Aircraft.Entry(lib).AcGrossLoad;
}

std::optional<int> FindPartner(const core::ProgramState& state, int row) {
    const std::string_view code = GearCodeOf(state, row);
    const core::DesignAircraft& self = Row(state, row);
    const int count = state.Current.AircraftCount();
    if (code == "H") {
        const std::string belly = self.AircraftName + std::string(kBellySuffix);
        for (int k = row + 1; k < count; ++k)
            if (Row(state, k).AircraftName == belly && SameTraffic(Row(state, k), self)) return k;
    } else if (code == "HB" && self.AircraftName.ends_with(kBellySuffix)) {
        const std::string wing =
            self.AircraftName.substr(0, self.AircraftName.size() - kBellySuffix.size());
        for (int k = row - 1; k >= 0; --k)
            if (Row(state, k).AircraftName == wing && SameTraffic(Row(state, k), self)) return k;
    }
    return std::nullopt;
}

void ApplyToPartner(core::ProgramState& state, core::UserPort& ui, int row,
                    std::optional<int> partner) {
    const std::string_view code = GearCodeOf(state, row);
    if (code != "H" && code != "HB") return;
    if (!partner) {
        const std::string text =
            std::string("Could not find the ") + (code == "H" ? "belly" : "wing") + " gear.";
        core::ShowMessage(state, ui, text, core::Buttons::Ok, "Changing Aircraft Data");
        return;
    }
    const core::DesignAircraft& self = Row(state, row);
    core::DesignAircraft& other = state.Current.Aircraft.at(static_cast<std::size_t>(*partner));
    other.GrossLoad = self.GrossLoad;
    other.AnnualDepartures = self.AnnualDepartures;
    other.AnnualGrowth = self.AnnualGrowth;
}

bool RefuseInSamples(const core::ProgramState& state, core::UserPort& ui) {
    if (!core::IsSamplesJob(state.JobName)) return false;
    const std::string samples(core::kSamplesJob);
    const std::string text =
        core::JoinLines({"Aircraft lists in Job " + samples + " cannot be changed.",
                         "They are included only as examples.", "",
                         "Use Copy Section in the Startup window to create",
                         "a new section which can be modified."});
    core::ShowMessage(state, ui, text, core::Buttons::Ok, "Aircraft in Job " + samples);
    return true;
}

std::string ShownLoad(const core::ProgramState& state, double lbs) {
    return core::FormatMask(lbs * state.Units.load.factor, state.Units.load.mask);
}

float CheckedGrossLoad(const core::ProgramState& state, core::UserPort& ui, double defaultLbs,
                       double entered, LoadLabel label) {
    const core::UnitQuantity& load = state.Units.load;
    const double d = defaultLbs;
    const double lo = kMinLoadFactor * d;
    const double hi = kMaxLoadFactor * d;
    const double shown = std::abs(entered);
    double lbs = shown / load.factor;
    if (core::FormatMask(shown, load.mask) == ShownLoad(state, lo)) lbs = lo;
    if (core::FormatMask(shown, load.mask) == ShownLoad(state, hi)) lbs = hi;
    if (lbs >= lo && lbs <= hi) return core::Single(lbs);

    const bool below = lbs < lo;
    std::string text =
        below ? "Gross load cannot be less than " : "Gross load cannot be greater than ";
    text += core::FormatMask(below ? kMinLoadFactor : kMaxLoadFactor, "0.00") + " x " +
            ShownLoad(state, d);
    if (label == LoadLabel::With) text += " " + load.label;
    text += ".";
    text += core::NL;
    text += core::NL;
    text += "The default value of gross load has been selected.";
    core::ShowMessage(state, ui, text, core::Buttons::Ok, "");
    return core::Single(d);
}

std::string GrossLoadPrompt(const core::ProgramState& state, int row, std::string_view rangeBreak,
                            std::string_view unit) {
    const double d = DefaultGrossLoad(state, row);
    const std::string u(unit);
    std::string text = "The default value of gross load for this aircraft is " +
                       ShownLoad(state, d) + " " + u + ".";
    text += std::string(core::NL) + std::string(core::NL) + "Enter a new value in the range:";
    text += rangeBreak;
    text += ShownLoad(state, kMinLoadFactor * d) + " to " + ShownLoad(state, kMaxLoadFactor * d) +
            " " + u + ".";
    text += std::string(core::NL) + std::string(core::NL) +
            "Click Cancel at any time to retain the old value.";
    return text;
}

}  // namespace tavro::control
