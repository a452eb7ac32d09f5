// Turning the analysis layer list and the design aircraft into the analysis records, and
// the two input files written beside every analysis for the user to inspect.
#include "analysis/analysis_input.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "analysis/lea_types.h"
#include "analysis/scratch_file.h"
#include "core/file_error.h"
#include "core/file_io.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/program_state.h"
#include "library/layer_library.h"

namespace tavro::analysis {

namespace {

using core::NL;

constexpr std::string_view kStructureFile = "VORNA.STR";
constexpr std::string_view kLoadsFile = "VORNA.LOA";
constexpr std::string_view kScientific = "0.0000000E-00";
// The loads file has always used this rounded pi for the contact radius; the analysis
// itself uses the full constant.
constexpr double kFilePi = 3.14159;

// Stored single-precision values enter the records as the decimal they stand for (0.475,
// not 0.4749999940...): the files then show the numbers the user entered, and products
// such as 15000 lbs x 0.475 come out as 7125.
double Widen(float value) {
    if (!std::isfinite(value)) return value;
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    double wide = value;
    std::from_chars(buffer, written.ptr, wide);
    return wide;
}

std::string Field(double value, std::string_view mask, int width) {
    return core::RightAlign(core::DecimalPoint(core::FormatMask(value, mask)), width);
}

void Line(std::string& out, std::string_view text) {
    out += text;
    out += NL;
}

struct Material {
    double poisson = 0;
    double interface = 0;
};

Material MaterialOf(int code) {
    if (!library::IsValidLayerType(code)) return {};
    const auto& m = library::LayerMaterialOf(code);
    return {Widen(m.DefaultPoisson), Widen(m.InterfaceValue)};
}

// The subgrade under a concrete surface is analysed with the rigid-pavement ratio.
double SubgradePoisson(const core::CurrentSectionRecord& section, int subgradeType) {
    if (library::IsValidLayerType(subgradeType) &&
        library::LayerTypeName(subgradeType) == "Undefined") {
        return Widen(library::LayerMaterialOf(subgradeType).DefaultPoisson);
    }
    bool concreteOnTop = false;
    for (int i = 0; i < std::min(2, section.LayerCount()); ++i) {
        if (section.Layers[static_cast<std::size_t>(i)].LayerFlexStrength > 0) concreteOnTop = true;
    }
    return Widen(concreteOnTop ? library::kSubgradePoissonRigid
                               : library::kSubgradePoissonFlexible);
}

LeaStructure BuildStructure(const core::CurrentSectionRecord& section,
                            const AnalysisLayerList& list) {
    LeaStructure s;
    // The slab whose strength governs is the last concrete layer: the existing slab under an
    // overlay, the only slab otherwise.
    for (const core::SectionLayer& layer : section.Layers) {
        if (layer.LayerFlexStrength > 0) s.FlexuralStrength = Widen(layer.LayerFlexStrength);
    }
    const int n = static_cast<int>(list.layers.size());
    s.Layers = n;
    const auto size = static_cast<std::size_t>(n + 1);
    s.Thickness.assign(size, 0);
    s.Modulus.assign(size, 0);
    s.Poisson.assign(size, 0);
    s.Interface.assign(size, 0);
    s.LayerCode.assign(size, 0);
    for (int i = 1; i <= n; ++i) {
        const AnalysisLayer& layer = list.layers[static_cast<std::size_t>(i - 1)];
        const auto k = static_cast<std::size_t>(i);
        const Material material = MaterialOf(layer.type);
        s.Modulus[k] = Widen(layer.modulus);
        s.LayerCode[k] = layer.type;
        if (i < n) {
            s.Thickness[k] = Widen(layer.thickness);
            s.Poisson[k] = material.poisson;
            s.Interface[k] = material.interface;
        } else {
            s.Poisson[k] = SubgradePoisson(section, layer.type);
        }
    }
    s.Depths = std::min(static_cast<int>(list.depths.size()), kMaxDepths);
    s.Depth.assign(static_cast<std::size_t>(s.Depths + 1), 0);
    for (int d = 1; d <= s.Depths; ++d) {
        s.Depth[static_cast<std::size_t>(d)] = list.depths[static_cast<std::size_t>(d - 1)];
    }
    return s;
}

AnalysisGear BuildGear(const library::AircraftLibrary& library, const core::DesignAircraft& a) {
    AnalysisGear g;
    g.Name = a.AircraftName;
    g.GrossLoad = Widen(a.GrossLoad);
    g.TirePressure = g.TireX = g.TireY = {0};
    g.PointX = g.PointY = {0};
    if (a.AircraftLibIndex < 1 || a.AircraftLibIndex > library.AircraftLibCount()) return g;
    const library::AircraftEntry& lib = library.Entry(a.AircraftLibIndex);
    g.GearShare = Widen(lib.AcGearShare);
    g.GearLoad = g.GrossLoad * g.GearShare;
    g.TireCount = std::clamp<int>(lib.AcTireCount, 0, library::kMaxGearTires);
    for (int t = 0; t < g.TireCount; ++t) {
        const auto i = static_cast<std::size_t>(t);
        g.TirePressure.push_back(Widen(lib.AcTirePressure));
        g.TireX.push_back(Widen(lib.AcTireX[i]));
        g.TireY.push_back(Widen(lib.AcTireY[i]));
    }
    g.PointCount = std::clamp<int>(lib.AcPointCount, 0, library::kMaxGearPoints);
    for (int p = 0; p < g.PointCount; ++p) {
        const auto i = static_cast<std::size_t>(p);
        g.PointX.push_back(Widen(lib.AcPointX[i]));
        g.PointY.push_back(Widen(lib.AcPointY[i]));
    }
    return g;
}

void AppendLayerLines(std::string& out, const LeaStructure& s) {
    for (int i = 1; i <= s.Layers; ++i) {
        const auto k = static_cast<std::size_t>(i);
        std::string line = Field(i, "0", 5);
        line += i < s.Layers ? Field(s.Thickness[k], kScientific, 20) : std::string(20, ' ');
        line += Field(s.Modulus[k], kScientific, 15);
        line += Field(s.Poisson[k], kScientific, 14);
        line += Field(s.LayerCode[k], "0", 18);
        Line(out, line);
        if (i < s.Layers) Line(out, std::string(51, ' ') + Field(s.Interface[k], "0", 12));
    }
}

void AppendTireLines(std::string& out, const AnalysisGear& g) {
    Line(out, " Tire  Radius  Cont.Area  Cont.Press.   Tire Load   X-coord.   Y-coord.");
    Line(out, " No.    (in)    (sq.in)     (psi)        (pounds)     (in)       (in)  ");
    Line(out, " ------------------------------------------------------------------------");
    const double tireLoad = g.TireCount > 0 ? g.GearLoad / g.TireCount : 0;
    for (int t = 1; t <= g.TireCount; ++t) {
        const auto i = static_cast<std::size_t>(t);
        const double pressure = g.TirePressure[i];
        // A zero pressure is refused by the analysis; the file still gets finite numbers.
        const double area = pressure > 0 ? tireLoad / pressure : 0;
        const double radius = area > 0 ? std::sqrt(area / kFilePi) : 0;
        std::string line = Field(t, "0", 3);
        for (double v : {radius, area, pressure, tireLoad, g.TireX[i], g.TireY[i]}) {
            line += Field(v, kScientific, 14);
        }
        Line(out, line);
    }
}

void AppendPointLines(std::string& out, const AnalysisGear& g) {
    Line(out, " No. of Evaluation Points (( X,Y Sets )");
    Line(out, Field(g.PointCount, "0", 3));
    Line(out, " Point No.      X-coord.        Y-coord.");
    Line(out, "                 ( in )          ( in )");
    Line(out, " --------------------------------------");
    for (int p = 1; p <= g.PointCount; ++p) {
        const auto i = static_cast<std::size_t>(p);
        Line(out, Field(p, "0", 6) + Field(g.PointX[i], kScientific, 20) +
                      Field(g.PointY[i], kScientific, 16));
    }
}

void ShowTooManyLayers(const core::ProgramState& state, core::UserPort& ui) {
    std::string text = "Sublayering in aggregate layers has exceeded";
    text += NL;
    text +=
        "the allowed number of layers in a structure; " + std::to_string(kMaxAnalysisLayers) + ".";
    text += NL;
    text += "The design cannot be continued. Try adding one";
    text += NL;
    text += "or more undefined layers for an approximate design.";
    core::ShowMessage(state, ui, text, core::Buttons::Ok, "Too Many Layers");
}

bool WriteOrReport(core::ProgramState& state, core::UserPort& ui, std::string_view name,
                   std::string_view bytes) {
    const std::string path = state.ProgramDir + std::string(name);
    for (;;) {
        const int error = WriteScratchFile(path, bytes);
        if (error == 0) return true;
        if (!core::ReportFileError(state, ui, error, path, core::FileOperation::Writing)) {
            return false;
        }
    }
}

// The design aircraft stay the same through all analyses of a run, and formatting their
// loads (some thousand numbers for twenty aircraft) cost more than the analysis itself; the
// text of the last gear list is kept. Per thread, so that no two runs share it.
const std::string& LoadsText(const std::vector<AnalysisGear>& gears) {
    struct Cache {
        bool valid = false;
        std::vector<AnalysisGear> gears;
        std::string text;
    };
    thread_local Cache cache;
    if (!cache.valid || cache.gears != gears) {
        cache.valid = false;
        cache.text = FormatVornaLoads(gears);
        cache.gears = gears;
        cache.valid = true;
    }
    return cache.text;
}

}  // namespace

AnalysisInput BuildAnalysisInput(const core::ProgramState& state, const AnalysisLayerList& list) {
    AnalysisInput input;
    input.structure = BuildStructure(state.Current, list);
    for (const core::DesignAircraft& a : state.Current.Aircraft) {
        input.gears.push_back(BuildGear(state.Aircraft, a));
    }
    return input;
}

std::string FormatVornaStructure(const LeaStructure& s, std::string_view sectionName) {
    std::string out;
    Line(out, " STRUCTURE Data File");
    Line(out, " Job Title");
    Line(out, "Title");
    Line(out, " Number of Pavements");
    Line(out, Field(1, "0", 2));
    Line(out, " Number Thicknesses & Moduli Variations");
    Line(out, Field(1, "0", 12) + Field(1, "0", 12));
    Line(out, " Pavement Description");
    Line(out, sectionName);
    Line(out, " Slab Flexural Strength (only for rigid pavements)");
    Line(out, Field(s.FlexuralStrength, "0.00000000", 20));
    Line(out, " No. of Layers");
    Line(out, Field(s.Layers, "0", 4));
    Line(out, "  Layer      Thicknesses     Modulus of   Poisson's   Interface");
    Line(out, "  Number       ( in )        Elasticity     Ratio     Condition     Layer Code");
    Line(out, "                              ( psi )");
    Line(out, "  -------------------------------------------------------------");
    AppendLayerLines(out, s);
    Line(out, " No. of Depths");
    Line(out, Field(s.Depths, "0", 4));
    Line(out, "  Depth No.       Depth (in)");
    Line(out, "  ---------------------------");
    for (int d = 1; d <= s.Depths; ++d) {
        Line(out, Field(d, "0", 6) + Field(s.Depth[static_cast<std::size_t>(d)], "0.000000", 19));
    }
    return out;
}

std::string FormatVornaLoads(const std::vector<AnalysisGear>& gears) {
    std::string out;
    Line(out, " LOAD Data File");
    Line(out, " Job Title");
    Line(out, "Title");
    Line(out, " No. of Aircraft");
    Line(out, Field(static_cast<double>(gears.size()), "0", 2));
    for (std::size_t k = 0; k < gears.size(); ++k) {
        const AnalysisGear& g = gears[k];
        // The number is written as a signed field: a blank sign position, then a blank.
        Line(out, " Aircraft Identification #   " + std::to_string(k + 1) + " ");
        Line(out, g.Name);
        Line(out, " Gross Load");
        Line(out, Field(g.GrossLoad, "0.00", 12));
        Line(out, " Fraction of Gross Load on Gear to be Analyzed");
        Line(out, Field(g.GearShare, kScientific, 14));
        Line(out, " No. of Tires");
        Line(out, Field(g.TireCount, "0", 2));
        AppendTireLines(out, g);
        AppendPointLines(out, g);
    }
    return out;
}

VornaStatus WriteVornaInput(core::ProgramState& state, core::UserPort& ui,
                            const AnalysisLayerList& list, AnalysisInput& input) {
    if (list.layers.size() > static_cast<std::size_t>(kMaxAnalysisLayers)) {
        ShowTooManyLayers(state, ui);
        state.Run.DesignRunning = false;
        return VornaStatus::TooManyLayers;
    }
    input = BuildAnalysisInput(state, list);
    if (!WriteOrReport(state, ui, kStructureFile,
                       FormatVornaStructure(input.structure, state.Current.SectionName)) ||
        !WriteOrReport(state, ui, kLoadsFile, LoadsText(input.gears))) {
        state.Run.DesignRunning = false;
        return VornaStatus::FileError;
    }
    return VornaStatus::Written;
}

}  // namespace tavro::analysis
