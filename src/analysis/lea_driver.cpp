// The analysis driver: solver arrays from the analysis records, one response evaluation per
// depth, the result file, and the one place where a failed analysis is caught and reported.
#include "analysis/lea_driver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>

#include "analysis/numerical.h"
#include "analysis/responses.h"
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

constexpr std::string_view kResultFile = "DAMTMP.DAT";
constexpr double kPi = 3.14159265359;
// Interface values from this one up give no bond at all.
constexpr double kNoBondInterfaceValue = 100000;
constexpr double kWeakBond = 0.1;
constexpr double kLoneWeakBond = 0.01;
// Depths that meet an interface to within rounding count as below it.
constexpr double kDepthTolerance = 1.000001;

std::size_t At(int oneBased) { return static_cast<std::size_t>(oneBased); }

std::string Number(double value) { return core::FormatMask(value, "0.######"); }

// First problem of the structure record, or "".
std::string CheckStructure(const LeaStructure& s) {
    const int n = s.Layers;
    if (n < 2) return "The structure needs at least one layer over the subgrade.";
    if (n > kMaxAnalysisLayers) {
        return "The structure has " + std::to_string(n) + " layers; at most " +
               std::to_string(kMaxAnalysisLayers) + " can be analysed.";
    }
    const std::size_t need = At(n) + 1;
    if (s.Thickness.size() < need || s.Modulus.size() < need || s.Poisson.size() < need ||
        s.Interface.size() < need || s.LayerCode.size() < need) {
        return "The layer arrays of the structure are incomplete.";
    }
    for (int i = 1; i <= n; ++i) {
        const std::string layer = "Layer " + std::to_string(i);
        const double h = s.Thickness[At(i)], e = s.Modulus[At(i)], nu = s.Poisson[At(i)];
        const double code = s.LayerCode[At(i)], c = s.Interface[At(i)];
        if (i < n && !(std::isfinite(h) && h > 0)) {
            return layer + " has a thickness of " + Number(h) + " in.";
        }
        if (!(std::isfinite(e) && e > 0)) return layer + " has a modulus of " + Number(e) + " psi.";
        if (!(std::isfinite(nu) && nu >= 0 && nu < 0.5)) {
            return layer + " has a Poisson's ratio of " + Number(nu) + ".";
        }
        if (!(code == std::floor(code) && library::IsValidLayerType(static_cast<int>(code)))) {
            return layer + " has the unknown layer type " + Number(code) + ".";
        }
        if (!(std::isfinite(c) && c >= 0)) {
            return layer + " has an interface value of " + Number(c) + ".";
        }
    }
    if (s.Depths < 1) return "No evaluation depth has been set.";
    if (s.Depths > kMaxDepths || s.Depth.size() < At(s.Depths) + 1) {
        return "The evaluation depths are incomplete.";
    }
    for (int d = 1; d <= s.Depths; ++d) {
        if (!std::isfinite(s.Depth[At(d)]))
            return "Evaluation depth " + std::to_string(d) + " is not a number.";
    }
    return {};
}

std::string CheckGear(const AnalysisGear& g, std::size_t k) {
    const std::string aircraft = "Aircraft " + std::to_string(k + 1) + " (" + g.Name + ")";
    if (!(std::isfinite(g.GearLoad) && g.GearLoad > 0)) {
        return aircraft + " has a gear load of " + Number(g.GearLoad) + " lbs.";
    }
    if (g.TireCount < 1 || g.PointCount < 1)
        return aircraft + " has no tires or no evaluation points.";
    const std::size_t tires = At(g.TireCount) + 1, points = At(g.PointCount) + 1;
    if (g.TirePressure.size() < tires || g.TireX.size() < tires || g.TireY.size() < tires ||
        g.PointX.size() < points || g.PointY.size() < points) {
        return aircraft + " has incomplete gear data.";
    }
    for (int t = 1; t <= g.TireCount; ++t) {
        const double q = g.TirePressure[At(t)];
        if (!(std::isfinite(q) && q > 0)) {
            return aircraft + " has a tire pressure of " + Number(q) + " psi.";
        }
        if (!std::isfinite(g.TireX[At(t)]) || !std::isfinite(g.TireY[At(t)])) {
            return aircraft + " has a tire position that is not a number.";
        }
    }
    for (int p = 1; p <= g.PointCount; ++p) {
        if (!std::isfinite(g.PointX[At(p)]) || !std::isfinite(g.PointY[At(p)])) {
            return aircraft + " has an evaluation point that is not a number.";
        }
    }
    return {};
}

void ShowAnalysisError(const core::ProgramState& state, core::UserPort& ui, std::string_view lead,
                       std::string_view reason) {
    std::string text(lead);
    text += NL;
    text += reason;
    text += NL;
    text += NL;
    text += "The run has been stopped.";
    core::ShowMessage(state, ui, text, core::Buttons::Ok, kAnalysisErrorTitle, core::Answer::Ok,
                      core::Icon::Exclamation);
}

constexpr std::string_view kCannotRun = "The layered elastic analysis cannot be run:";
constexpr std::string_view kFailed = "The layered elastic analysis failed:";

std::optional<ResponseKind> KindOfName(std::string_view name) {
    for (ResponseKind k : {ResponseKind::VerticalStrain, ResponseKind::HorizontalStress,
                           ResponseKind::VerticalDeflection, ResponseKind::HorizontalStrain}) {
        if (ResponseKindName(k) == name) return k;
    }
    return std::nullopt;
}

bool WritesResultFile(ResponseKind kind) {
    return kind == ResponseKind::VerticalStrain || kind == ResponseKind::HorizontalStress;
}

bool WriteResultFile(const core::ProgramState& state, core::UserPort& ui, std::string_view text) {
    const std::string path = state.ProgramDir + std::string(kResultFile);
    for (;;) {
        const int error = WriteScratchFile(path, text);
        if (error == 0) return true;
        if (!core::ReportFileError(state, ui, error, path, core::FileOperation::Writing)) {
            return false;
        }
    }
}

}  // namespace

double InterfaceBondOf(double interfaceValue, double secondLayerModulus) {
    double slip = 0;
    if (interfaceValue < kNoBondInterfaceValue) {
        const double x = std::pow(10.0, -interfaceValue / secondLayerModulus);
        slip = x / (1 - x + 1e-6);
    }
    // Rounding of the slip formula lets k pass 1 by a hair; nothing bonds more than fully.
    return std::min(slip * 1.000001 / (slip + 1), 1.0);
}

LayeredSystem LayeredSystemOf(const LeaStructure& s) {
    const int n = s.Layers;
    LayeredSystem sys;
    sys.layerCount = n;
    sys.thickness.assign(At(n) + 1, 0);
    sys.bottomDepth.assign(At(n) + 1, 0);
    sys.modulus.assign(At(n) + 1, 0);
    sys.poisson.assign(At(n) + 1, 0);
    sys.bond.assign(At(n) + 1, 1);
    for (int i = 1; i <= n; ++i) {
        sys.modulus[At(i)] = s.Modulus[At(i)];
        sys.poisson[At(i)] = s.Poisson[At(i)];
        if (i < n) sys.thickness[At(i)] = s.Thickness[At(i)];
    }
    // The bottom layer has no thickness; the copy only scales its exponentials.
    sys.thickness[At(n)] = sys.thickness[At(n - 1)];
    for (int i = 1; i <= n; ++i) {
        sys.bottomDepth[At(i)] = sys.bottomDepth[At(i - 1)] + sys.thickness[At(i)];
    }
    int weak = 0;
    for (int i = 1; i < n; ++i) {
        sys.bond[At(i)] = InterfaceBondOf(s.Interface[At(i)], s.Modulus[2]);
        if (sys.bond[At(i)] < kWeakBond) ++weak;
    }
    for (int i = 1; i < n; ++i) {
        if (sys.bond[At(i)] < kWeakBond) sys.bond[At(i)] = weak < 2 ? kLoneWeakBond : kWeakBond;
    }
    return sys;
}

int LayerOfDepth(const LayeredSystem& system, double z) {
    int layer = 1;
    for (int i = system.layerCount; i >= 1; --i) {
        if (std::fabs(z) * kDepthTolerance >= system.bottomDepth[At(i - 1)]) {
            layer = i;
            break;
        }
    }
    if (z < 0) --layer;
    return std::max(layer, 1);
}

std::vector<GearLoads> GearLoadsOf(const std::vector<AnalysisGear>& gears) {
    std::vector<GearLoads> loads;
    for (const AnalysisGear& g : gears) {
        GearLoads l;
        l.name = g.Name;
        l.grossLoad = g.GrossLoad;
        const double tireLoad = g.GearLoad / g.TireCount;
        for (int t = 1; t <= g.TireCount; ++t) {
            const double q = g.TirePressure[At(t)];
            l.tireLoad.push_back(tireLoad);
            l.tirePressure.push_back(q);
            l.tireRadius.push_back(std::sqrt(tireLoad / q / kPi));
            l.tireX.push_back(g.TireX[At(t)]);
            l.tireY.push_back(g.TireY[At(t)]);
        }
        for (int p = 1; p <= g.PointCount; ++p) {
            l.pointX.push_back(g.PointX[At(p)]);
            l.pointY.push_back(g.PointY[At(p)]);
        }
        l.distance.assign(l.tireX.size(), std::vector<double>(l.pointX.size(), 0));
        for (std::size_t t = 0; t < l.tireX.size(); ++t) {
            for (std::size_t p = 0; p < l.pointX.size(); ++p) {
                l.distance[t][p] = std::hypot(l.pointX[p] - l.tireX[t], l.pointY[p] - l.tireY[t]);
            }
        }
        loads.push_back(std::move(l));
    }
    return loads;
}

std::optional<std::string> CheckAnalysisInput(const AnalysisInput& input) {
    if (std::string why = CheckStructure(input.structure); !why.empty()) return why;
    if (input.gears.empty()) return "There are no design aircraft.";
    if (input.gears.size() > static_cast<std::size_t>(kMaxAnalysisAircraft)) {
        return "There are more than " + std::to_string(kMaxAnalysisAircraft) + " design aircraft.";
    }
    for (std::size_t k = 0; k < input.gears.size(); ++k) {
        if (std::string why = CheckGear(input.gears[k], k); !why.empty()) return why;
    }
    return std::nullopt;
}

DriverStatus NewLeaAnalysis(const core::ProgramState& state, core::UserPort& ui,
                            const AnalysisInput& input, ResponseKind kind, AnalysisOutput& out,
                            const AnalysisOptions& options) {
    LayeredSystem system = LayeredSystemOf(input.structure);
    const std::vector<GearLoads> gears = GearLoadsOf(input.gears);
    const LaguerreRule& rule = StandardLaguerreRule();
    out = {};
    if (options.horizontalStrainDepth && kind == ResponseKind::VerticalStrain) {
        const double z = *options.horizontalStrainDepth;
        AnalysisOutput strain;
        EvaluateDepth(ResponseKind::HorizontalStrain, system, rule, gears, LayerOfDepth(system, z),
                      std::fabs(z), strain, ui);
        out.horizontalStrain = strain.rows.back().kept;
    }
    for (int d = 1; d <= input.structure.Depths; ++d) {
        const double z = input.structure.Depth[At(d)];
        EvaluateDepth(kind, system, rule, gears, LayerOfDepth(system, z), std::fabs(z), out, ui);
        if (WritesResultFile(kind) &&
            !WriteResultFile(state, ui, FormatResultFile(kind, system, gears, out))) {
            return DriverStatus::ResultFileNotWritten;
        }
    }
    return DriverStatus::Completed;
}

std::optional<ResponseKind> ResponseKindOfPavement(int pavementType, bool existingPavement) {
    if (pavementType == core::kNewFlexible || pavementType == core::kAcOnFlexible) {
        return ResponseKind::VerticalStrain;
    }
    if (pavementType == core::kPccOnFlexible || pavementType == core::kNewRigid ||
        existingPavement) {
        return ResponseKind::HorizontalStress;
    }
    return std::nullopt;
}

AnalysisResult RunAnalysis(core::ProgramState& state, core::UserPort& ui,
                           const AnalysisInput& input, std::optional<ResponseKind> kindOverride,
                           const AnalysisOptions& options) {
    const std::int64_t start = ui.TickMs();
    AnalysisResult result;
    std::optional<ResponseKind> kind = kindOverride;
    if (!kind)
        kind = ResponseKindOfPavement(state.Current.PavementType, state.Current.ExistingPavement);
    if (!kind) kind = KindOfName(state.Run.LastResponseKind);
    result.kind = kind.value_or(ResponseKind::VerticalStrain);
    state.Run.LastResponseKind = std::string(ResponseKindName(result.kind));

    if (std::optional<std::string> why = CheckAnalysisInput(input)) {
        result.outcome = AnalysisOutcome::BadInput;
        result.reason = *why;
        ShowAnalysisError(state, ui, kCannotRun, result.reason);
    } else {
        try {
            if (NewLeaAnalysis(state, ui, input, result.kind, result.output, options) ==
                DriverStatus::ResultFileNotWritten) {
                result.outcome = AnalysisOutcome::FileError;
                result.reason = "The result file could not be written.";
            }
        } catch (const std::exception& e) {
            // Solver faults arrive as AnalysisError; an index or allocation fault is ended
            // the same way rather than taking the program down.
            result.outcome = AnalysisOutcome::AnalysisFault;
            result.reason = e.what();
            ShowAnalysisError(state, ui, kFailed, result.reason);
        }
    }
    if (result.outcome != AnalysisOutcome::Completed) {
        result.output = {};
        state.Run.DesignRunning = false;
    }
    result.elapsedMs = ui.TickMs() - start;
    state.Run.AnalysisTimeMs += static_cast<double>(result.elapsedMs);
    return result;
}

// ---- Back-calculation of the subgrade modulus ----

namespace {

constexpr double kPlateRadiusIn = 6;  // 12-inch plate

// Start value from the outermost deflection (in), normalised to a 25000 lb load.
double StartModulus(double outerDeflectionIn, double loadLbs) {
    return 59304.82 * std::pow(outerDeflectionIn * 1000 * 25000 / loadLbs, -0.98737);
}

class BasinFit {
public:
    BasinFit(const core::ProgramState& state, core::UserPort& ui, AnalysisInput input,
             const BackCalcOptions& options)
        : state_(state), ui_(ui), input_(std::move(input)), changed_(options.bottomModulusChanged) {
        for (double mils : options.basinMils) target_.push_back(mils / 1000);
    }

    // Slope of the squared misfit at e, given the basins at e and e(1 + step).
    double Slope(const std::vector<double>& at, const std::vector<double>& above, double e,
                 double step) const {
        double g = 0;
        for (std::size_t i = 0; i < target_.size(); ++i) {
            g -= 2 * (target_[i] - at[i]) * (above[i] - at[i]) / (e * step);
        }
        return g;
    }

    std::vector<double> Basin(double modulus) {
        if (changed_) changed_(modulus, input_.structure);
        input_.structure.Modulus[At(input_.structure.Layers)] = modulus;
        AnalysisOutput out;
        NewLeaAnalysis(state_, ui_, input_, ResponseKind::VerticalDeflection, out);
        std::vector<double> basin(target_.size(), 0);
        if (!out.pointValues.empty()) {
            const std::vector<double>& first = out.pointValues.front();
            for (std::size_t i = 0; i < basin.size() && i < first.size(); ++i) basin[i] = first[i];
        }
        return basin;
    }

private:
    const core::ProgramState& state_;
    core::UserPort& ui_;
    AnalysisInput input_;
    std::function<void(double, LeaStructure&)> changed_;
    std::vector<double> target_;
};

BackCalcResult Iterate(BasinFit& fit, const BackCalcOptions& o) {
    BackCalcResult r;
    double e = std::clamp(StartModulus(o.basinMils.back() / 1000, o.plateLoadLbs), o.minModulusPsi,
                          o.maxModulusPsi);
    if (!std::isfinite(e)) e = o.minModulusPsi;
    r.modulusPsi = e;
    const double f = 1 + o.step;
    while (r.iterations < o.maxIterations) {
        const std::vector<double> d0 = fit.Basin(e), d1 = fit.Basin(e * f),
                                  d2 = fit.Basin(e * f * f);
        const double g0 = fit.Slope(d0, d1, e, o.step);
        const double g1 = fit.Slope(d1, d2, e * f, o.step);
        const double curvature = (g1 - g0) / (e * o.step);
        double next = e - g0 / curvature;
        // Where the misfit curves downwards the Newton step heads for its maximum: move
        // downhill instead, halving or doubling the modulus, until a minimum is in reach.
        if (curvature < 0 && g0 != 0) next = g0 > 0 ? e / 2 : e * 2;
        if (curvature == 0 || !std::isfinite(next)) {
            r.outcome = BackCalcOutcome::FlatMisfit;
            r.reason = "The misfit does not change with the modulus.";
            return r;
        }
        ++r.iterations;
        BackCalcOutcome bound = BackCalcOutcome::Converged;
        if (next < o.minModulusPsi) bound = BackCalcOutcome::AtLowerBound;
        if (next > o.maxModulusPsi) bound = BackCalcOutcome::AtUpperBound;
        next = std::clamp(next, o.minModulusPsi, o.maxModulusPsi);
        r.clamped = r.clamped || bound != BackCalcOutcome::Converged;
        const bool settled = std::fabs(next - e) / e < o.relativeTolerance;
        r.modulusPsi = next;
        if (settled) {
            r.outcome = bound;
            r.reason = bound == BackCalcOutcome::Converged
                           ? "The modulus changed by less than the tolerance."
                           : "The best fit lies beyond the allowed modulus range.";
            return r;
        }
        e = next;
    }
    r.outcome = BackCalcOutcome::NotConverged;
    r.reason = "No convergence within " + std::to_string(o.maxIterations) + " iterations.";
    return r;
}

}  // namespace

AnalysisInput PlateLoadInput(const LeaStructure& structure, double loadLbs) {
    AnalysisInput plate;
    plate.structure = structure;
    plate.structure.Depths = 1;
    plate.structure.Depth = {0, 0};
    AnalysisGear gear;
    gear.Name = "Plate";
    gear.GrossLoad = loadLbs;
    gear.GearShare = 1;
    gear.GearLoad = loadLbs;
    gear.TireCount = 1;
    gear.TirePressure = {0, loadLbs / (kPi * kPlateRadiusIn * kPlateRadiusIn)};
    gear.TireX = {0, 0};
    gear.TireY = {0, 0};
    gear.PointCount = static_cast<int>(kSensorOffsetsIn.size());
    gear.PointX = {0};
    gear.PointY = {0};
    for (double offset : kSensorOffsetsIn) {
        gear.PointX.push_back(offset);
        gear.PointY.push_back(0);
    }
    plate.gears = {gear};
    return plate;
}

BackCalcResult BackCalculateSubgrade(const core::ProgramState& state, core::UserPort& ui,
                                     const LeaStructure& structure,
                                     const BackCalcOptions& options) {
    AnalysisInput plate = PlateLoadInput(structure, options.plateLoadLbs);
    std::optional<std::string> why = CheckAnalysisInput(plate);
    if (!why && !(options.plateLoadLbs > 0 && std::isfinite(options.plateLoadLbs)))
        why = "The plate load must be a positive number of pounds.";
    for (double mils : options.basinMils)
        if (!why && !(mils > 0 && std::isfinite(mils)))
            why = "Every deflection of the basin must be a positive number.";
    if (why) {
        ShowAnalysisError(state, ui, kCannotRun, *why);
        return {BackCalcOutcome::BadInput, 0, 0, false, *why, {}, 0};
    }
    BasinFit fit(state, ui, plate, options);
    try {
        BackCalcResult r = Iterate(fit, options);
        // The fit at the answer, for the user to judge.
        const std::vector<double> basin = fit.Basin(r.modulusPsi);
        double squares = 0;
        for (std::size_t i = 0; i < basin.size(); ++i) {
            r.fittedBasinMils.push_back(basin[i] * 1000);
            squares += std::pow(basin[i] * 1000 - options.basinMils[i], 2);
        }
        r.rmsMisfitMils = std::sqrt(squares / static_cast<double>(basin.size()));
        return r;
    } catch (const std::exception& e) {
        ShowAnalysisError(state, ui, kFailed, e.what());
        return {BackCalcOutcome::AnalysisFault, 0, 0, false, e.what(), {}, 0};
    }
}

}  // namespace tavro::analysis
