// Cell texts of the design grid, with the leading blanks its columns have always had.
#include "control/aircraft_grid.h"

#include "core/number_format.h"

namespace tavro::control {

namespace {

using core::FormatMask;

std::string Length(double in, const core::UnitSet& u) {
    return FormatMask(in * u.thickness.factor, u.thickness.mask);
}

}  // namespace

std::string GridWeightLabel(const core::UnitSet& units) { return units.metric ? "tns" : "lbs"; }

std::array<std::string, 2> GridHeader(int col, const core::UnitSet& u, int count) {
    const std::string length = u.thickness.label;
    switch (col) {
        case kColName:
            return {"      Design", "   Aircraft (" + std::to_string(count) + ")"};
        case kColGrossLoad:
            return {"Gross Taxi", "Weight (" + GridWeightLabel(u) + ")"};
        case kColDepartures:
            return {"Annual", "Departures"};
        case kColGrowth:
            return {"% Annual", " Growth"};
        case kColOverload:
            return {"Overload", " Aircraft"};
        case kColTotalDepartures:
            return {"Total", "Departures"};
        case kColTirePressure:
            return {"Tire", "Press. (" + u.pressure.label + ")"};
        case kColGearShare:
            return {"Percent GW", "on Gear"};
        case kColDualSpacing:
            return {"Dual", "Spacing (" + length + ")"};
        case kColTandemSpacing:
            return {"Tandem", "Spacing (" + length + ")"};
        case kColContactWidth:
            return {"Tire Contact", "Width (" + length + ")"};
        case kColContactLength:
            return {"Tire Contact", "Length (" + length + ")"};
        default:
            return {"", ""};
    }
}

std::string GridCell(const core::ProgramState& state, int row, int col) {
    if (row < 0 || row >= state.Current.AircraftCount()) return "";
    const core::DesignAircraft& a = state.Current.Aircraft[static_cast<std::size_t>(row)];
    const core::UnitSet& u = state.Units;
    const int lib = a.AircraftLibIndex;
    const bool inLibrary = lib >= 1 && lib <= state.Aircraft.AircraftLibCount();
    if (col > kColTotalDepartures && col < kColContactWidth && !inLibrary) return "";
    const library::AircraftEntry* e = inLibrary ? &state.Aircraft.Entry(lib) : nullptr;
    switch (col) {
        case kColName:
            return a.AircraftName;
        case kColGrossLoad:
            return "   " + FormatMask(a.GrossLoad * u.load.factor, u.load.mask);
        case kColDepartures:
            return "     " + FormatMask(a.AnnualDepartures, "#,###,##0");
        case kColGrowth:
            return "       " + FormatMask(a.AnnualGrowth * 100.0, "#,##0.00");
        case kColOverload:
            return a.OverloadFlag ? "True" : "False";
        case kColTotalDepartures:
            return "   " + FormatMask(a.TotalDepartures, "#,###,##0");
        case kColTirePressure:
            return "     " + FormatMask(e->AcTirePressure * u.pressure.factor, "0.0");
        case kColGearShare:
            return "       " + FormatMask(e->AcGearShare * 100.0, "0.0");
        case kColDualSpacing: {
            const bool single = e->AcGearCode == "E" || e->AcGearCode == "B";
            return Length(single ? 0.0 : e->AcS1, u);
        }
        case kColTandemSpacing:
            return Length(e->AcTandem, u);
        case kColContactWidth:
            return Length(a.ContactWidth, u);
        case kColContactLength:
            return Length(a.ContactLength, u);
        default:
            return "";
    }
}

}  // namespace tavro::control
