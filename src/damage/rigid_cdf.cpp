// Rigid damage: the interior stress of each aircraft becomes an edge stress, the ratio of
// flexural strength to it gives allowable coverages for the SCI 80 and first-crack
// conditions, and Miner's sums over the lateral grid give both CDFs.
#include "damage/rigid_cdf.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/file_io.h"
#include "core/messages.h"
#include "core/narrow.h"
#include "damage/flexible_cdf.h"
#include "damage/traffic.h"
#include "library/layer_library.h"

namespace tavro::damage {

namespace {

constexpr std::string_view kResultFile = "DAMTMP.DAT";
constexpr int kStressNumbers = 5;  // load, layer, depth, modulus, horizontal stress
constexpr std::size_t kStressColumn = 4;
constexpr double kMissingStressPsi = 1000;

constexpr double kTandemRepeatSpacingIn = 72;  // wider tandem axles load a point twice
constexpr double kSubgradeCapPsi = 50000;
constexpr double kMinLayerFactorModulusPsi = 200000, kMaxLayerFactorModulusPsi = 700000;
constexpr double kMinStructureRatio = 0.4;
constexpr double kLoadTransfer = 0.75;
constexpr double kEdgeStressFactor = 0.7533f;  // 0.565/0.75

constexpr double kFailureSci = 80;
constexpr double kMaxLog10Coverages = 10;
constexpr double kStressOffsetPsi = 1e-12;

std::size_t At(int oneBased) { return static_cast<std::size_t>(oneBased); }

// Subgrade modulus in ksi as both factors use it: capped at 50000 psi.
double SubgradeKsi(const core::CurrentSectionRecord& section) {
    if (section.Layers.empty()) return 0;
    return std::min<double>(section.Layers.back().LayerModulus, kSubgradeCapPsi) / 1000;
}

bool IsNamed(int type, std::string_view name) {
    return library::IsValidLayerType(type) && library::LayerTypeName(type) == name;
}

// Gear factor of the edge stress by gear code, first matching row; f0 for any other code.
double GearFactor(const library::AircraftEntry& entry, double f0, double e) {
    const std::string& code = entry.AcGearCode;
    if (code == "J" || code == "F" || code == "H") return f0 * (1.2 - 0.003704 * entry.AcS1);
    if (code == "B" || code == "A") return f0 * (1.43 - 0.006983 * e + 5.51e-5 * e * e);
    if (code == "HB" || code == "D") return f0 * (1.33 - 0.00436 * e + 3.541e-5 * e * e);
    if (code == "M" || code == "N" || entry.AcName == "NLA-A") {
        return f0 * (0.8397 + 0.003 * e - 3e-5 * e * e);
    }
    if (code == "E") return f0 * (0.9673 + 0.0008 * e - 2e-5 * e * e) / 0.85;
    if (code == "K") return f0 * (0.7781 + 0.02 * e - 0.0002 * e * e) * 1.12 / 0.7875;
    return f0;
}

const library::AircraftEntry* EntryOf(const core::ProgramState& state, int aircraft) {
    const auto& list = state.Current.Aircraft;
    if (aircraft < 1 || aircraft > static_cast<int>(list.size())) return nullptr;
    const int lib = list[core::SlotIndex(aircraft)].AircraftLibIndex;
    if (lib < 1 || lib > state.Aircraft.AircraftLibCount()) return nullptr;
    return &state.Aircraft.Entry(lib);
}

// Design (edge) stress of every aircraft (0-based) from the result file; a missing or
// unreadable line gives 1000 psi as it stands. Pending events run once per aircraft line.
std::vector<float> ReadDesignStresses(const core::ProgramState& state, core::UserPort& ui,
                                      int depthsPerAircraft, bool& readError) {
    const core::ReadResult file = core::ReadWholeFile(state.ProgramDir + std::string(kResultFile));
    const int count = state.Current.AircraftCount();
    const int depths = std::max(depthsPerAircraft, 1);
    const auto lines =
        ParseResultLines(file.error == 0 ? file.bytes : "", count * depths, kStressNumbers);
    std::vector<float> stresses;
    for (int i = 1; i <= count; ++i) {
        ui.ProcessPendingEvents();
        const auto& line = lines[static_cast<std::size_t>((i - 1) * depths)];
        if (!line) {
            readError = true;
            stresses.push_back(static_cast<float>(kMissingStressPsi));
            continue;
        }
        stresses.push_back(
            core::Single(AdjustEdgeStress(state, i, std::fabs((*line)[kStressColumn]))));
    }
    return stresses;
}

struct AllowableCoverages {
    double log10Failure = 0;  // SCI 80, uncapped
    double failure = 0;       // SCI 80, log10 capped at 10
    double firstCrack = 0;
};

// The design factor line DF = (0.2967 + 0.002267 SCI) + F (0.3881 + 3.9e-5 SCI c) log10 C
// solved at SCI 80, and the first-crack line DF = 0.5236 + 0.392 log10 C.
AllowableCoverages CoveragesOf(double designFactor, double f, double c) {
    AllowableCoverages a;
    a.log10Failure = (designFactor - 0.2967 - kFailureSci * 0.002267) /
                     ((kFailureSci * 3.9e-5 * c + 0.3881) * f);
    a.failure = std::pow(10.0, std::min(a.log10Failure, kMaxLog10Coverages));
    const double t = (designFactor - 0.5236) / 0.392;
    a.firstCrack = t <= kMaxLog10Coverages ? std::pow(10.0, t) : a.failure;
    return a;
}

}  // namespace

void FillRigidCoverageTable(core::ProgramState& state, core::UserPort& ui) {
    auto& table = state.Run.Damage.CoveragesPerPass;
    table = {};
    for (int i = 1; i <= state.Current.AircraftCount(); ++i) {
        const library::AircraftEntry* entry = EntryOf(state, i);
        if (entry == nullptr) continue;
        const double width = state.Current.Aircraft[core::SlotIndex(i)].ContactWidth;
        const double repetitions = entry->AcTandem > kTandemRepeatSpacingIn ? 2 : 1;
        const int wheels = std::clamp<int>(entry->AcWheelCount, 0, library::kMaxWheels);
        for (int j = 1; j <= core::kLateralPositions; ++j) {
            ui.ProcessPendingEvents();
            double sum = 0;
            for (int w = 0; w < wheels; ++w) {
                const double d = std::fabs(GridX(j) - entry->AcWheelY[static_cast<std::size_t>(w)]);
                sum += NormalProbability(d - width / 2, d + width / 2, kWanderSigma);
            }
            table[At(i)][At(j)] = core::Single(repetitions * sum);
        }
    }
}

double BaseSubgradeFactor(const core::ProgramState& state, int firstLayer) {
    const auto& layers = state.Current.Layers;
    double r = 0;
    for (int i = std::max(firstLayer, 1); i < static_cast<int>(layers.size()); ++i) {
        const core::SectionLayer& layer = layers[core::SlotIndex(i)];
        if (IsNamed(layer.LayerType, "Subgrade")) break;
        double f = 0.5;  // aggregate
        if (!IsNamed(layer.LayerType, "Ag Crushed") && !IsNamed(layer.LayerType, "Ag Uncrushed")) {
            const double e = std::clamp<double>(layer.LayerModulus, kMinLayerFactorModulusPsi,
                                                kMaxLayerFactorModulusPsi);
            f = 0.5 + (e - kMinLayerFactorModulusPsi) * (0.5 / 300000);
        }
        r += f * layer.LayerThickness / 8;
    }
    r = std::max(r, kMinStructureRatio);
    const double f0 = 0.25 * std::pow(10.0, 1.2 * (1 - r));
    const double e = SubgradeKsi(state.Current);
    return f0 + e * (1 - f0) / 25 + e * e * (f0 - 1) / 2500;
}

double AdjustEdgeStress(const core::ProgramState& state, int aircraft, double stress) {
    const double e = SubgradeKsi(state.Current);
    const double f0 = 1.261 + 0.01549 * e - 9.375e-5 * e * e;
    const library::AircraftEntry* entry = EntryOf(state, aircraft);
    const double f = entry == nullptr ? f0 : GearFactor(*entry, f0, e);
    const double g = std::max(kLoadTransfer * f, 1.0);
    return g * stress * kEdgeStressFactor;
}

double SlabFlexuralStrength(const core::CurrentSectionRecord& section) {
    for (auto it = section.Layers.rbegin(); it != section.Layers.rend(); ++it) {
        if (it->LayerFlexStrength > 0) return it->LayerFlexStrength;
    }
    return 0;
}

RigidCdfResult ComputeRigidCDF(core::ProgramState& state, core::UserPort& ui,
                               int depthsPerAircraft) {
    RigidCdfResult result;
    const std::vector<float> stresses =
        ReadDesignStresses(state, ui, depthsPerAircraft, result.readError);
    const core::CurrentSectionRecord& section = state.Current;
    const double f = BaseSubgradeFactor(state, section.ExistingPavement ? 3 : 2);
    const double c = (0.392 - 0.3881 * f) / (0.0039 * f);
    const double strength = SlabFlexuralStrength(section);

    core::DamageTables& damage = state.Run.Damage;
    damage.CdfByPosition = {};
    damage.FirstCrackByPosition = {};
    damage.CriticalResponse = {};
    damage.Log10Coverages = {};
    damage.AllowableCoverages = {};
    for (int i = 1; i <= section.AircraftCount(); ++i) {
        const core::DesignAircraft& aircraft = section.Aircraft[core::SlotIndex(i)];
        const float stress = stresses[core::SlotIndex(i)];
        damage.CriticalResponse[At(i)] = stress;
        if (aircraft.OverloadFlag) continue;
        const AllowableCoverages allowed =
            CoveragesOf(strength / (stress + kStressOffsetPsi), f, c);
        if (allowed.log10Failure <= kMaxLog10Coverages) result.stressesTooLow = false;
        damage.Log10Coverages[At(i)] = allowed.log10Failure;
        damage.AllowableCoverages[At(i)] = core::Single(allowed.failure);
        for (int j = 1; j <= core::kLateralPositions; ++j) {
            const double applied = static_cast<double>(aircraft.TotalDepartures) *
                                   damage.CoveragesPerPass[At(i)][At(j)];
            damage.CdfByPosition[At(j)] =
                core::Single(damage.CdfByPosition[At(j)] + applied / allowed.failure);
            damage.FirstCrackByPosition[At(j)] =
                core::Single(damage.FirstCrackByPosition[At(j)] + applied / allowed.firstCrack);
        }
    }
    const GridMaximum failure = MaximumOverGrid(damage.CdfByPosition);
    result.cdf = damage.Cdf = failure.value;
    result.criticalPosition = damage.CriticalPosition = failure.position;
    result.firstCrackCdf = damage.FirstCrackCdf =
        core::Single(100.0 * MaximumOverGrid(damage.FirstCrackByPosition).value);
    damage.StressesTooLow = result.stressesTooLow;
    if (result.readError) {
        EndRunOnReadError(
            state, ui,
            core::JoinLines({"There has been an error reading", "stresses from the data file. This",
                             "was probably caused by the PCC", "layer being too thin. The design",
                             "will be ended.", "", "Please check the structure."}));
    }
    return result;
}

}  // namespace tavro::damage
