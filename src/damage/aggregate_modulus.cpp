// Aggregate base and subbase moduli from their thickness and support, the aggregate
// structure rules, and the analysis layer list of the next analysis.
#include "damage/aggregate_modulus.h"

#include <algorithm>
#include <cmath>

#include "core/messages.h"
#include "core/narrow.h"
#include "core/number_format.h"
#include "core/program_state.h"
#include "library/layer_library.h"

namespace tavro::damage {

namespace {

constexpr std::string_view kBaseName = "Ag Crushed";
constexpr std::string_view kSubbaseName = "Ag Uncrushed";
constexpr std::string_view kStructureTitle = "Calculating Modulus in Design";

// The modulus rule works with these rounded logarithm constants; results are compared
// digit by digit, so they stay as they are.
constexpr double kLn10 = 2.302585;
constexpr double kLn10Squared = 5.301897;
// Near convergence (|ln CDF| at most this) a running design keeps its sublayer counts.
constexpr double kFreezeLnCdf = 0.345;
// Guards the count of an absurd thickness; anything above 15 is refused anyway.
constexpr double kSublayerCountCap = 1000;
// Depth just inside the subgrade, as a multiple of the thickness above it.
constexpr double kSubgradeDepthFactor = 1.0001;

struct AggregateConstants {
    double a;
    double b;
    double maxSublayerIn;
};

constexpr AggregateConstants kBase{10.52, 2.1, 10};
constexpr AggregateConstants kSubbase{7.18, 1.56, 8};

std::string_view TypeName(int code) {
    return library::IsValidLayerType(code) ? library::LayerTypeName(code) : std::string_view{};
}

int SublayerCount(const core::RunState& run, double h, double hMax, int remembered) {
    if (run.SublayeringOn && std::fabs(run.LnCdf) <= kFreezeLnCdf) return std::max(remembered, 1);
    if (h > hMax) return static_cast<int>(std::min(std::ceil(h / hMax), kSublayerCountCap));
    return 1;
}

// The modulus at which the rule leaves a sublayer as stiff as its support (a = b log10 E):
// about 102,200 psi for the base and 40,050 psi for the subbase.
double EquilibriumModulus(const AggregateConstants& c) {
    return std::exp(c.a / c.b * kLn10Squared / kLn10);
}

// The rule is a straight line in log E that draws a sublayer towards the equilibrium
// modulus. On a stiff support (a stabilized or concrete layer) the line overshoots, down to
// zero and below; an unbound layer cannot be softer than that equilibrium there, nor, on a
// soft support, stiffer than it. So every sublayer stays between its support and the
// equilibrium modulus: a positive floor and a ceiling the rule itself sets.
double BoundedSublayerModulus(const AggregateConstants& c, double lnT, double below) {
    const double e = below * (1 + c.a * lnT / kLn10 - c.b * std::log(below) * lnT / kLn10Squared);
    const double equilibrium = EquilibriumModulus(c);
    const double lo = std::min(below, equilibrium), hi = std::max(below, equilibrium);
    if (!(e >= lo)) return lo;  // also a result that is not a number
    return std::min(e, hi);
}

void ComputeSublayerModuli(const AggregateConstants& c, int n, double t, double support,
                           SublayerModuli& e) {
    const double lnT = std::log(t);
    const auto top = static_cast<std::size_t>(n + 1);
    e[top] = core::Single(support);
    for (std::size_t j = top - 1; j >= 1; --j)
        e[j] = core::Single(BoundedSublayerModulus(c, lnT, e[j + 1]));
}

struct AggregatePositions {
    int baseCount = 0, basePos = 0;
    int subbaseCount = 0, subbasePos = 0;
};

AggregatePositions FindAggregates(const core::Section& section) {
    AggregatePositions p;
    for (int i = 1; i <= section.LayerCount(); ++i) {
        const std::string_view name = TypeName(section.Layers[core::SlotIndex(i)].LayerType);
        if (name == kBaseName) {
            ++p.baseCount;
            p.basePos = i;
        } else if (name == kSubbaseName) {
            ++p.subbaseCount;
            p.subbasePos = i;
        }
    }
    return p;
}

void ShowStructureMessage(const core::ProgramState& state, core::UserPort& ui,
                          std::string_view text) {
    core::ShowMessage(state, ui, text, core::Buttons::Ok, kStructureTitle);
}

// The structure rules of the aggregate layers; false (message shown) when one fails.
bool AcceptStructure(const core::ProgramState& state, core::UserPort& ui,
                     const AggregatePositions& p) {
    constexpr std::string_view kInvalid =
        "This is not a valid structure for the design procedure. ";
    if (p.baseCount >= 2) {
        ShowStructureMessage(state, ui,
                             "There are " + core::FormatMask(p.baseCount, "0") +
                                 " aggregate base layers. " + std::string(kInvalid) +
                                 "Please change the structure so that it has only one aggregate "
                                 "base layer.");
        return false;
    }
    if (p.subbaseCount >= 2) {
        ShowStructureMessage(state, ui,
                             "There are " + core::FormatMask(p.subbaseCount, "0") +
                                 " aggregate subbase layers. " + std::string(kInvalid) +
                                 "Please change the structure so that it has only one aggregate "
                                 "subbase layer.");
        return false;
    }
    if (p.baseCount == 1 && p.subbaseCount == 1 && p.basePos > p.subbasePos) {
        ShowStructureMessage(state, ui,
                             "An aggregate base layer is located below an aggregate subbase "
                             "layer. " +
                                 std::string(kInvalid) +
                                 "Please change the structure so that the base is above the "
                                 "subbase.");
        return false;
    }
    return true;
}

// Modulus of section layer i (1-based), 0 past the last layer.
double ModulusOfLayer(const core::Section& section, int i) {
    return i >= 1 && i <= section.LayerCount() ? section.Layers[core::SlotIndex(i)].LayerModulus
                                               : 0;
}

const SublayerModuli& ModuliOf(const AggregateResult& r, bool base) {
    return base ? r.moduli.base : r.moduli.subbase;
}

// Writes the mean sublayer modulus into the section layer when it is a usable modulus.
void StoreMeanModulus(core::SectionLayer& layer, const SublayerSplit& split,
                      const SublayerModuli& e) {
    if (split.status != ModulusThickStatus::Computed) return;
    double sum = 0;
    for (int j = 1; j <= split.count; ++j) sum += e[static_cast<std::size_t>(j)];
    const double mean = sum / split.count;
    if (std::isfinite(mean) && mean > 0) layer.LayerModulus = core::Single(mean);
}

void AppendSublayers(std::vector<analysis::AnalysisLayer>& out, const core::SectionLayer& layer,
                     const SublayerSplit& split, const SublayerModuli& e) {
    // More than 15 sublayers already makes the list too long to analyse; one more than
    // that is enough for the input writer to refuse it.
    const int shown = std::min(split.count, kMaxSublayers + 1);
    for (int j = 1; j <= shown; ++j) {
        analysis::AnalysisLayer sub;
        sub.thickness = core::Single(split.thicknessIn);
        sub.modulus = split.status == ModulusThickStatus::Computed ? e[static_cast<std::size_t>(j)]
                                                                   : layer.LayerModulus;
        sub.type = layer.LayerType;
        out.push_back(sub);
    }
}

void SetEvaluationDepth(int pavementType, analysis::AnalysisLayerList& list) {
    if (list.layers.empty()) return;
    if (pavementType == core::kNewFlexible || pavementType == core::kAcOnFlexible) {
        double above = 0;
        for (std::size_t i = 0; i + 1 < list.layers.size(); ++i) above += list.layers[i].thickness;
        list.depths = {kSubgradeDepthFactor * above};
    } else if (pavementType == core::kPccOnFlexible || pavementType == core::kNewRigid) {
        // A negative depth asks for the bottom of the slab rather than the top of the layer below.
        list.depths = {-static_cast<double>(list.layers.front().thickness)};
    }
}

}  // namespace

SublayerSplit ModulusThick(core::RunState& run, double thicknessIn, int type,
                           double supportModulusPsi, AggregateModuli& moduli) {
    const std::string_view name = TypeName(type);
    const bool base = name == kBaseName;
    if (!base && name != kSubbaseName) return {ModulusThickStatus::NotAggregate, 0, 0};
    const AggregateConstants& c = base ? kBase : kSubbase;
    int& remembered = base ? run.BaseSublayers : run.SubbaseSublayers;

    SublayerSplit split;
    split.count = SublayerCount(run, thicknessIn, c.maxSublayerIn, remembered);
    split.thicknessIn = thicknessIn / split.count;
    remembered = split.count;
    if (split.count > kMaxSublayers) {
        split.status = ModulusThickStatus::TooManySublayers;
    } else if (!(std::isfinite(split.thicknessIn) && split.thicknessIn > 0 &&
                 std::isfinite(supportModulusPsi) && supportModulusPsi > 0)) {
        split.status = ModulusThickStatus::InvalidValue;
    } else {
        ComputeSublayerModuli(c, split.count, split.thicknessIn, supportModulusPsi,
                              base ? moduli.base : moduli.subbase);
    }
    return split;
}

AggregateResult CalculateAggregateModuli(core::ProgramState& state, core::UserPort& ui,
                                         analysis::AnalysisLayerList& list) {
    AggregateResult r;
    core::CurrentSectionRecord& section = state.Current;
    const AggregatePositions p = FindAggregates(section);
    if (!AcceptStructure(state, ui, p)) {
        r.status = AggregateStatus::InvalidStructure;
        return r;
    }
    const int n = section.LayerCount();
    // An aggregate layer at the bottom has nothing to rest on and is analysed as entered.
    const bool hasSubbase = p.subbasePos >= 1 && p.subbasePos < n;
    const bool hasBase = p.basePos >= 1 && p.basePos < n;
    if (hasSubbase) {
        const core::SectionLayer& layer = section.Layers[core::SlotIndex(p.subbasePos)];
        r.subbase = ModulusThick(state.Run, layer.LayerThickness, layer.LayerType,
                                 ModulusOfLayer(section, p.subbasePos + 1), r.moduli);
    }
    if (hasBase) {
        double support = ModulusOfLayer(section, p.basePos + 1);
        if (hasSubbase && p.subbasePos == p.basePos + 1 &&
            r.subbase.status == ModulusThickStatus::Computed) {
            support = r.moduli.subbase[1];
        }
        const core::SectionLayer& layer = section.Layers[core::SlotIndex(p.basePos)];
        r.base = ModulusThick(state.Run, layer.LayerThickness, layer.LayerType, support, r.moduli);
    }
    r.sublayered = r.base.count > 1 || r.subbase.count > 1;

    list.layers.clear();
    for (int i = 1; i <= n; ++i) {
        core::SectionLayer& layer = section.Layers[core::SlotIndex(i)];
        const bool isBase = hasBase && i == p.basePos;
        const bool isSubbase = hasSubbase && i == p.subbasePos;
        if (isBase || isSubbase) {
            const SublayerSplit& split = isBase ? r.base : r.subbase;
            StoreMeanModulus(layer, split, ModuliOf(r, isBase));
            if (state.Run.SublayeringOn) {
                AppendSublayers(list.layers, layer, split, ModuliOf(r, isBase));
                continue;
            }
        }
        list.layers.push_back({layer.LayerThickness, layer.LayerModulus, layer.LayerType});
    }
    SetEvaluationDepth(section.PavementType, list);
    return r;
}

}  // namespace tavro::damage
