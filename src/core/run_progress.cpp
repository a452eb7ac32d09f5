// The progress value of a run and its one-line text.
#include "core/run_progress.h"

#include "core/number_format.h"
#include "core/program_state.h"
#include "core/user_port.h"

namespace tavro::core {

namespace {

constexpr float kSlabBaseModulusPsi = 1000000.0f;

bool IsAggregate(std::int16_t type) { return type == 6 || type == 8; }

std::string Fixed2(float value) { return FormatMask(value, "0.00"); }

}  // namespace

double ThicknessToSubgrade(const std::vector<SectionLayer>& layers) {
    if (layers.empty()) return 0;
    double t = 0;
    for (std::size_t i = 0; i + 1 < layers.size(); ++i) t += layers[i].LayerThickness;
    if (layers.size() >= 2 && layers.back().LayerModulus >= kSlabBaseModulusPsi)
        t -= layers[layers.size() - 2].LayerThickness;
    return t;
}

RunProgress MakeRunProgress(const ProgramState& state) {
    const RunState& run = state.Run;
    const CurrentSectionRecord& section = state.Current;
    RunProgress p;
    p.running = run.DesignRunning;
    p.lifeMode = run.LifeMode;
    p.iteration = run.IterationCount;
    p.pavementType = section.PavementType;
    p.existingPavement = section.ExistingPavement;
    p.progressCdf = run.Display.ProgressCDF;
    p.asphaltCdf = run.Display.ACCDF;
    p.computingAsphalt = run.Display.ComputingAC;
    p.asphaltCdfShown = run.Display.ACCDFShown;
    for (const SectionLayer& layer : section.Layers)
        p.sublayersShown = p.sublayersShown || IsAggregate(layer.LayerType);
    p.useSublayers = run.SublayeringOn;
    p.structureLife = run.Display.StructureLife;
    p.existingLife = run.Display.ExistingLife;
    p.cdfuShown = run.Display.CDFUShown;
    p.thicknessIn = static_cast<float>(ThicknessToSubgrade(section.Layers));
    p.layers = section.Layers;
    return p;
}

void ReportProgress(const ProgramState& state, UserPort& ui) {
    ui.ShowProgress(MakeRunProgress(state));
}

std::string ProgressLine(const RunProgress& p, const UnitSet& units) {
    const std::string t = FormatMask(p.thicknessIn * units.thickness.factor, units.thickness.mask) +
                          " " + units.thickness.label;
    if (!p.running) return "Total thickness to the top of the subgrade, t = " + t;
    const bool flexible = p.pavementType == kNewFlexible || p.pavementType == kAcOnFlexible;
    const bool rigid = p.pavementType == kNewRigid || p.pavementType == kPccOnFlexible;
    std::string line;
    if (!p.lifeMode) line += "N = " + FormatMask(p.iteration, "0") + ";  ";
    if (flexible) {
        if (p.computingAsphalt)
            line += "Computing AC CDF;  ";
        else if (p.asphaltCdfShown)
            line += "AC CDF = " + Fixed2(p.asphaltCdf) + ";  ";
    }
    if (p.sublayersShown && !p.lifeMode)
        line += p.useSublayers ? "Sublayers;  " : "No Sublayers;  ";
    if (flexible) {
        if (!p.lifeMode)
            line += "Subgrade CDF = " + Fixed2(p.progressCdf) + ";  ";
        else
            line += "Sub CDF = " + Fixed2(p.progressCdf) + ";  " +
                    "Str Life (SG) = " + FormatMask(p.structureLife, "0.000") + " yrs;  ";
    }
    if (rigid) {
        if (!p.lifeMode)
            line += "PCC CDF = " + Fixed2(p.progressCdf) + ";  ";
        else
            line += "%CDFU = " + Fixed2(p.cdfuShown) + ";  " +
                    "PCC CDF = " + Fixed2(p.progressCdf) + ";  " +
                    "Str Life (PCC) = " + FormatMask(p.structureLife, "0.000") + " yrs;  ";
    }
    if (p.existingPavement) line += "Str Life = " + FormatMask(p.existingLife, "0.0") + " yrs;  ";
    return line + "t = " + t;
}

}  // namespace tavro::core
