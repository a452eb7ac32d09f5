#include "design/report.h"

#include <algorithm>

#include "core/day_serial.h"
#include "core/number_format.h"
#include "core/program_state.h"
#include "core/section_ops.h"
#include "design/section_warnings.h"
#include "library/layer_library.h"

namespace tavro::design {

namespace {

using core::FormatMask;
using core::RightAlign;

const std::string kNl(core::NL);

enum class Layout { Screen, Print };

bool IsAnalysed(double stamp) {
    // A stamp outside the serial range cannot be shown as a date; NaN fails both bounds.
    return !core::IsNotAnalysed(stamp) && stamp >= core::kMinDaySerial &&
           stamp <= core::kMaxDaySerial;
}

std::string PadRight(std::string_view text, std::size_t width) {
    std::string s(text);
    if (s.size() < width) s.append(width - s.size(), ' ');
    return s;
}

// A stored value converted to the display unit, in its mask, right-aligned in `width`.
std::string Shown(double value, const core::UnitQuantity& unit, int width) {
    return RightAlign(FormatMask(value * unit.factor, unit.mask), width);
}

const library::LayerMaterial& MaterialOf(int code) {
    return library::LayerMaterialOf(library::IsValidLayerType(code) ? code : 0);
}

std::string StructureSentence(const core::CurrentSectionRecord& s) {
    std::string t =
        "The structure is " + std::string(core::PavementTypeReportName(s.PavementType)) + ".";
    const bool flexibleFamily =
        s.PavementType == core::kNewFlexible || s.PavementType == core::kAcOnFlexible;
    if (flexibleFamily && IsAnalysed(s.SectionTimeStamp)) {
        if (s.AsphaltCDF == -1.0f)
            t += " Asphalt CDF was not computed.";
        else
            t += " Asphalt CDF = " + FormatMask(s.AsphaltCDF, "0.0000") + ".";
    }
    return t + kNl;
}

std::string ConditionAndLife(const core::CurrentSectionRecord& s) {
    std::string t;
    if (s.ExistingPavement) {
        t += "SCI of the existing pavement = " + FormatMask(s.SCI, "0") + "." + kNl;
        if (s.SCI == 100.0f)
            t += "Percent CDF used of the existing pavement = " + FormatMask(s.CDFU, "0") + "." +
                 kNl;
    }
    t += "Design Life = " + FormatMask(s.DesignLife, "0") + " years." + kNl;
    if (IsAnalysed(s.SectionTimeStamp)) {
        const std::string stamp = core::FormatTimeStamp(s.SectionTimeStamp);  // mm/dd/yy hh:mm:ss
        t += "A design for this section was completed on " + stamp.substr(0, 8) + " at " +
             stamp.substr(9) + "." + kNl + kNl;
    } else {
        t += "A design has not been completed for this section." + kNl + kNl;
    }
    return t;
}

// Items common to both layouts, down to the title of the layer table.
std::string Preamble(const core::ProgramState& state) {
    const core::CurrentSectionRecord& s = state.Current;
    std::string t = "Section " + s.SectionName + " in Job " + state.JobName + "." + kNl + kNl;
    t += RaisedWarnings(s);
    t += StructureSentence(s);
    t += ConditionAndLife(s);
    t += std::string(11, ' ') + "Pavement Structure Information by Layer, Top First" + kNl + kNl;
    return t;
}

std::string LayerHeadings(const core::UnitSet& units, Layout layout) {
    const bool metric = units.metric;
    if (layout == Layout::Print) {
        return " No.   Type" + std::string(16, ' ') + "Thickness   Modulus   Poisson's   Strength" +
               kNl + std::string(28, ' ') +
               (metric ? "  mm         MPa       Ratio      R, MPa"
                       : "inches       psi       Ratio      R, psi") +
               kNl + kNl;
    }
    const std::string& modulus = units.modulus.label;
    return " No.      Type" + std::string(21, ' ') +
           "Thickness         Modulus    Poisson's   Strength" + kNl + "\t\t   " +
           units.thickness.label + std::string(metric ? 6 : 5, ' ') + modulus +
           std::string(metric ? 10 : 9, ' ') + "Ratio" + std::string(metric ? 8 : 7, ' ') + "R, " +
           modulus + kNl + kNl;
}

// Poisson's ratio shown for layer j (1-based): the subgrade's depends on whether the
// structure carries a concrete slab in its top two layers.
double ShownPoisson(const core::CurrentSectionRecord& s, int j) {
    const library::LayerMaterial& m =
        MaterialOf(s.Layers[static_cast<std::size_t>(j - 1)].LayerType);
    if (j != s.LayerCount() || m.LayerTypeName == "Undefined") return m.DefaultPoisson;
    const bool slab = s.Layers[0].LayerFlexStrength > 0 ||
                      (s.LayerCount() > 1 && s.Layers[1].LayerFlexStrength > 0);
    return slab ? library::kSubgradePoissonRigid : library::kSubgradePoissonFlexible;
}

std::string LayerLines(const core::ProgramState& state, Layout layout) {
    const core::CurrentSectionRecord& s = state.Current;
    const core::UnitSet& u = state.Units;
    std::size_t longest = 0;
    for (const core::SectionLayer& layer : s.Layers)
        longest = std::max(longest, MaterialOf(layer.LayerType).LayerTypeAbbrev.size());
    const std::string sep = layout == Layout::Screen ? "\t" : "";
    std::string t;
    for (int j = 1; j <= s.LayerCount(); ++j) {
        const core::SectionLayer& layer = s.Layers[static_cast<std::size_t>(j - 1)];
        const std::string_view abbrev = MaterialOf(layer.LayerType).LayerTypeAbbrev;
        t += RightAlign(FormatMask(j, "0"), 3) + "  ";
        t += layout == Layout::Screen ? std::string(abbrev) : PadRight(abbrev, longest + 2);
        t += sep + Shown(layer.LayerThickness, u.thickness, 6);
        t += sep + Shown(layer.LayerModulus, u.modulus, 10);
        t += sep + RightAlign(FormatMask(ShownPoisson(s, j), "0.00"), 4);
        t += sep + Shown(layer.LayerFlexStrength, u.modulus, 8);
        t += kNl;
    }
    return t;
}

std::string TotalThickness(const core::ProgramState& state) {
    const core::CurrentSectionRecord& s = state.Current;
    double total = 0;
    for (int j = 1; j < s.LayerCount(); ++j)
        total += s.Layers[static_cast<std::size_t>(j - 1)].LayerThickness;
    const core::UnitQuantity& thickness = state.Units.thickness;
    return "Total thickness to the top of the subgrade = " +
           FormatMask(total * thickness.factor, thickness.mask) + " " + thickness.label + kNl;
}

std::string AircraftHeadings(const core::UnitSet& units, Layout layout) {
    std::string t = "  Aircraft Information" + kNl + kNl;
    if (layout == Layout::Print) {
        return t + " No.      Name           Gross Wt.       Annual      % Annual" + kNl +
               (units.metric ? "                          tonnes       Departures      Growth"
                             : "                            lbs        Departures      Growth") +
               kNl + kNl;
    }
    // Two tabs reach the gross weight column; its unit then ends where the weights end.
    return t + " No.      Name" + std::string(25, ' ') + "Gross Wt.       Annual         % Annual" +
           kNl + "\t\t" +
           (units.metric ? "    tonnes       Departures        Growth"
                         : "       lbs         Departures        Growth") +
           kNl + kNl;
}

std::string AircraftLines(const core::ProgramState& state, Layout layout) {
    const core::UnitQuantity& load = state.Units.load;
    const bool screen = layout == Layout::Screen;
    const std::string sep = screen ? "\t" : "";
    std::string t;
    int k = 0;
    for (const core::DesignAircraft& a : state.Current.Aircraft) {
        t += RightAlign(FormatMask(++k, "0"), 3) + (screen ? "   " : "  ");
        t += PadRight(a.AircraftName, screen ? 17 : 18);
        t += sep + Shown(a.GrossLoad, load, 10);
        t += sep + RightAlign(FormatMask(a.AnnualDepartures, "#,##0"), 11);
        t += sep + RightAlign(FormatMask(a.AnnualGrowth * 100.0, "0.00"),
                              screen ? kScreenGrowthWidth : kPrintGrowthWidth);
        t += kNl;
    }
    return t;
}

std::string Build(const core::ProgramState& state, const std::string& preamble, Layout layout) {
    return preamble + LayerHeadings(state.Units, layout) + LayerLines(state, layout) +
           TotalThickness(state) + AircraftHeadings(state.Units, layout) +
           AircraftLines(state, layout);
}

}  // namespace

SectionReport BuildReport(const core::ProgramState& state) {
    const std::string preamble = Preamble(state);
    return {Build(state, preamble, Layout::Screen), Build(state, preamble, Layout::Print)};
}

std::string ReportWithNotes(const SectionReport& report, std::string_view notesText,
                            ReportDestination destination) {
    std::string t;
    if (destination == ReportDestination::Printer) t = kNl + kNl + kNl + kNl;
    t += report.print + kNl + kNl + RightAlign("NOTES", 32) + kNl + kNl;
    t += notesText;
    return t;
}

}  // namespace tavro::design
