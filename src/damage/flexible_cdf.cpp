// Flexible damage: each aircraft's strain from the result file becomes allowable coverages
// (subgrade or asphalt criterion), and Miner's sum over the aircraft is taken position by
// position across the lateral grid.
#include "damage/flexible_cdf.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>

#include "core/file_io.h"
#include "core/messages.h"
#include "core/narrow.h"
#include "core/number_format.h"
#include "damage/traffic.h"

namespace tavro::damage {

namespace {

using core::NL;

constexpr std::string_view kResultFile = "DAMTMP.DAT";
constexpr int kHeaderLines = 6;
constexpr std::size_t kLabelLength = 12;
constexpr int kStrainNumbers = 6;  // load, layer, depth, modulus, horizontal, vertical strain
constexpr std::size_t kHorizontalColumn = 4, kVerticalColumn = 5;

// log10 x is ln x / 2.302585 with the divisor held in single precision.
constexpr double kLn10 = 2.302585f;
double Log10(double x) { return std::log(x) / kLn10; }

constexpr double kMissingStrain = 0.001;
constexpr double kSubgradeStrainFloor = 0.0001;  // below it the criterion is not meaningful
constexpr double kAsphaltStrainFloor = 1e-6;
// The asphalt criterion has no use for the vertical strain; it is parked at a harmless value.
constexpr double kAsphaltVerticalStrain = 0.0002;

// Subgrade criterion: C = 10000 (A/strain)^B, with A and B from the subgrade modulus in ksi.
double SubgradeCoverages(double strain, double modulusPsi) {
    const double ksi = modulusPsi / 1000;
    const double a = 0.001347313924 + 6.096554524e-5 * Log10(ksi);
    const double b = 3.662531599 * std::pow(ksi, static_cast<double>(0.3863832f));
    return 10000 * std::pow(a / strain, b);
}

// Asphalt criterion: log10 C = 2.68 - 5 log10 strain - 2.665 log10 E1.
double AsphaltLog10Coverages(double strain, double surfaceModulusPsi) {
    return static_cast<double>(2.68f) - 5 * Log10(strain) - 2.665 * Log10(surfaceModulusPsi);
}

struct Strains {
    double horizontal = 0;
    double vertical = 0;
};

// The strains of every design aircraft (0-based), a missing or unreadable line giving the
// fallback strain. Pending events run once per aircraft line.
std::vector<Strains> ReadStrains(const core::ProgramState& state, core::UserPort& ui,
                                 FlexibleCriterion criterion, bool& readError) {
    const core::ReadResult file = core::ReadWholeFile(state.ProgramDir + std::string(kResultFile));
    const int count = state.Current.AircraftCount();
    const auto lines = ParseResultLines(file.error == 0 ? file.bytes : "", count, kStrainNumbers);
    std::vector<Strains> strains;
    for (const auto& line : lines) {
        ui.ProcessPendingEvents();
        Strains s{kMissingStrain, kMissingStrain};
        if (line) {
            s = {std::fabs((*line)[kHorizontalColumn]), std::fabs((*line)[kVerticalColumn])};
        } else {
            readError = true;
        }
        if (criterion == FlexibleCriterion::Subgrade) s.horizontal = 0;
        if (criterion == FlexibleCriterion::Asphalt) s.vertical = kAsphaltVerticalStrain;
        strains.push_back(s);
    }
    return strains;
}

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == ','; }

std::optional<std::vector<double>> ParseLine(std::string_view line, int numbers) {
    if (line.size() < kLabelLength) return std::nullopt;
    line.remove_prefix(kLabelLength);
    std::vector<double> values;
    while (static_cast<int>(values.size()) < numbers) {
        while (!line.empty() && IsSeparator(line.front())) line.remove_prefix(1);
        if (line.empty()) return std::nullopt;
        std::size_t end = 0;
        while (end < line.size() && !IsSeparator(line[end])) ++end;
        const std::optional<double> value = core::ParseNumber(line.substr(0, end));
        if (!value) return std::nullopt;
        values.push_back(*value);
        line.remove_prefix(end);
    }
    return values;
}

}  // namespace

std::vector<std::optional<std::vector<double>>> ParseResultLines(std::string_view text,
                                                                 int aircraftCount, int numbers) {
    std::vector<std::optional<std::vector<double>>> result;
    int lineNumber = 0;
    while (static_cast<int>(result.size()) < aircraftCount) {
        std::optional<std::vector<double>> values;
        if (!text.empty()) {
            const std::size_t end = text.find('\n');
            std::string_view line = text.substr(0, end);
            text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            if (++lineNumber <= kHeaderLines) continue;
            values = ParseLine(line, numbers);
        }
        result.push_back(std::move(values));
    }
    return result;
}

GridMaximum MaximumOverGrid(const std::array<float, core::kLateralPositions + 1>& byPosition) {
    GridMaximum max{byPosition[1], 1};
    for (int j = 2; j <= core::kLateralPositions; ++j) {
        if (byPosition[static_cast<std::size_t>(j)] > max.value) {
            max = {byPosition[static_cast<std::size_t>(j)], j};
        }
    }
    return max;
}

void EndRunOnReadError(core::ProgramState& state, core::UserPort& ui, std::string_view text) {
    if (!state.Run.DesignRunning) return;
    state.Run.DesignRunning = false;
    core::ShowMessage(state, ui, text, core::Buttons::Ok, "File Error", core::Answer::Ok,
                      core::Icon::Exclamation);
}

FlexibleCdfResult ComputeFlexibleCDF(core::ProgramState& state, core::UserPort& ui, double depth,
                                     FlexibleCriterion criterion) {
    FlexibleCdfResult result;
    const std::vector<Strains> strains = ReadStrains(state, ui, criterion, result.readError);
    const core::CurrentSectionRecord& section = state.Current;
    const double subgradeModulus = section.Layers.empty() ? 0 : section.Layers.back().LayerModulus;
    const double surfaceModulus = section.Layers.empty() ? 0 : section.Layers.front().LayerModulus;

    core::DamageTables& damage = state.Run.Damage;
    damage = {};
    for (int i = 1; i <= section.AircraftCount(); ++i) {
        const core::DesignAircraft& aircraft = section.Aircraft[core::SlotIndex(i)];
        const Strains& s = strains[core::SlotIndex(i)];
        const auto row = static_cast<std::size_t>(i);
        const bool subgrade = criterion == FlexibleCriterion::Subgrade;
        damage.CriticalResponse[row] = core::Single(subgrade ? s.vertical : s.horizontal);
        if (aircraft.OverloadFlag) continue;
        double coverages = 0, log10Coverages = 0;
        if (subgrade) {
            double strain = s.vertical;
            if (strain < kSubgradeStrainFloor) {
                strain = kSubgradeStrainFloor;
            } else {
                result.strainsTooLow = false;
            }
            coverages = SubgradeCoverages(strain, subgradeModulus);
            log10Coverages = Log10(coverages);
        } else {
            const double strain = std::max(s.horizontal, kAsphaltStrainFloor);
            log10Coverages = AsphaltLog10Coverages(strain, surfaceModulus);
            coverages = std::pow(10.0, log10Coverages);
        }
        damage.Log10Coverages[row] = log10Coverages;
        damage.AllowableCoverages[row] = core::Single(coverages);
        for (int j = 1; j <= core::kLateralPositions; ++j) {
            ui.ProcessPendingEvents();
            const float perPass = PassToCoverage(state, i, GridX(j), depth);
            const auto col = static_cast<std::size_t>(j);
            damage.CoveragesPerPass[row][col] = perPass;
            damage.CdfByPosition[col] =
                core::Single(damage.CdfByPosition[col] +
                             static_cast<double>(perPass) * aircraft.TotalDepartures / coverages);
        }
    }
    const GridMaximum max = MaximumOverGrid(damage.CdfByPosition);
    result.cdf = max.value;
    result.criticalPosition = max.position;
    damage.Cdf = max.value;
    damage.CriticalPosition = max.position;
    if (result.readError) {
        EndRunOnReadError(
            state, ui,
            core::JoinLines({"There has been an error reading", "strains from the data file. This",
                             "may have been caused by a very", "thin surface layer. The design",
                             "will be ended.", "", "Please check the structure."}));
    }
    return result;
}

}  // namespace tavro::damage
