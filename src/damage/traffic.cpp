// Coverages per pass: the wander of each gear across the lateral grid, with the tires of
// a gear merging into wider effective tires as the response depth grows.
#include "damage/traffic.h"

#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "core/narrow.h"

namespace tavro::damage {

namespace {

constexpr double kDegenerateSigma = 1e-6;
constexpr double kDensityFactor = 0.3989423;      // 1/sqrt(2 pi)
constexpr double kEndCorrection = 0.0416666679f;  // 1/24 as the rule has always held it
constexpr double kTailBound = 5;
constexpr double kTailMass = 0.5;

double Shape(double u) { return std::exp(-u * u / 2); }

// Mass of the standard normal between 0 and z: four-panel midpoint rule with the end
// correction h^2/24 (f'(z) - f'(0)), f'(u) = -u f(u).
double MassFromZero(double z) {
    const double h = z / 4;
    const double panels = Shape(h / 2) + Shape(3 * h / 2) + Shape(5 * h / 2) + Shape(7 * h / 2);
    return h * (panels - z * h * Shape(z) * kEndCorrection) * kDensityFactor;
}

struct EffectiveTire {
    double position = 0;  // in, lateral
    double width = 0;     // in
};

// Wheels in lateral order and the centre-to-centre spacing between neighbours.
struct WheelRow {
    std::vector<double> position;
    std::vector<double> spacing;  // spacing[k] lies between wheel k and wheel k + 1
};

// The wheel rows of gear configurations 2 to 5: pairs of spacing S1 with S2 (and, for the
// eight-wheel gear, S3 in the middle) between them. Empty for an unknown configuration or
// a library entry with fewer wheels than its configuration needs.
WheelRow RowOf(const library::AircraftEntry& e) {
    const double s1 = e.AcS1, s2 = e.AcS2, s3 = e.AcS3;
    WheelRow row;
    switch (e.AcGearConfig) {
        case 2:
            row.spacing = {s1};
            break;
        case 3:
            row.spacing = {s1, s2, s1};
            break;
        case 4:
            row.spacing = {s1, s2, s1, s3, s1, s2, s1};
            break;
        case 5:
            row.spacing = {s1, s2, s1, s2, s1};
            break;
        default:
            return {};
    }
    const std::size_t wheels = row.spacing.size() + 1;
    if (e.AcWheelCount < 0 || static_cast<std::size_t>(e.AcWheelCount) < wheels) return {};
    for (std::size_t k = 0; k < wheels; ++k) row.position.push_back(e.AcWheelY[k]);
    return row;
}

// Neighbouring wheels whose clear gap (spacing - w) is below the depth act as one tire that
// spans them: width = the spacings it covers + w + z, centred between its outer wheels.
// Applied to every gap alike, this gives the closing order of each configuration: the
// eight-wheel gear with S3 > S2 merges the pairs across S2 first, then across S3, into one
// tire of 4*S1 + 2*S2 + S3 + w + z (its full span, S3 included); with S3 < S2 the middle gap
// closes first, making one middle tire of 2*S1 + S3 + w + z between the two outer pairs,
// and the whole gear merges once S2 closes too.
std::vector<EffectiveTire> MergeRow(const WheelRow& row, double w, double z) {
    std::vector<EffectiveTire> tires;
    std::size_t first = 0;
    double span = 0;
    for (std::size_t k = 0; k < row.position.size(); ++k) {
        const bool closesToNext = k < row.spacing.size() && row.spacing[k] - w < z;
        if (closesToNext) {
            span += row.spacing[k];
            continue;
        }
        tires.push_back({(row.position[first] + row.position[k]) / 2, span + w + z});
        first = k + 1;
        span = 0;
    }
    return tires;
}

std::vector<EffectiveTire> EffectiveTires(const library::AircraftEntry& e, double w, double z) {
    if (e.AcGearConfig == 1) {
        if (e.AcWheelCount < 1) return {};
        return {{e.AcWheelY[0], w + z}};
    }
    return MergeRow(RowOf(e), w, z);
}

// Repetitions of a point under tandem axles: every axle counts while the depth is within the
// clear gap g = T - L between consecutive contact areas, one axle from depth 2g on, linear
// in between. A three-axle gear ("N") counts three.
double RepetitionFactor(const library::AircraftEntry& e, double contactLength, double z) {
    if (e.AcTandem <= 0) return 1;  // no tandem axles, whatever the contact length
    const bool threeAxles = e.AcGearCode == "N";
    const double g = e.AcTandem - contactLength;
    if (z <= g) return threeAxles ? 3 : 2;
    if (2 * g <= z) return 1;
    return threeAxles ? 5 - 2 * z / g : 3 - z / g;
}

}  // namespace

float NormalProbability(double lo, double hi, double sigma) {
    if (sigma < kDegenerateSigma) return lo <= 0 && 0 <= hi ? 1.0f : 0.0f;
    double z1 = lo / sigma, z2 = hi / sigma;
    if (z1 > z2) std::swap(z1, z2);
    // Beyond the tail bound a bound takes half the mass: either tail for the lower bound,
    // only the upper tail for the upper one.
    double lower = MassFromZero(z1);
    if (std::fabs(z1) > kTailBound) lower = z1 > 0 ? kTailMass : -kTailMass;
    const double upper = z2 > kTailBound ? kTailMass : MassFromZero(z2);
    return core::Single(upper - lower);
}

float PassToCoverage(const core::ProgramState& state, int aircraft, double x, double depth) {
    const auto& list = state.Current.Aircraft;
    if (aircraft < 1 || aircraft > static_cast<int>(list.size())) return 0;
    const core::DesignAircraft& a = list[core::SlotIndex(aircraft)];
    if (a.AircraftLibIndex < 1 || a.AircraftLibIndex > state.Aircraft.AircraftLibCount()) return 0;
    const library::AircraftEntry& entry = state.Aircraft.Entry(a.AircraftLibIndex);
    const double z = std::fabs(depth);
    double sum = 0;
    for (const EffectiveTire& t : EffectiveTires(entry, a.ContactWidth, z)) {
        const double d = std::fabs(x - t.position);
        sum += NormalProbability(d - t.width / 2, d + t.width / 2, kWanderSigma);
    }
    return core::Single(RepetitionFactor(entry, a.ContactLength, z) * sum);
}

}  // namespace tavro::damage
