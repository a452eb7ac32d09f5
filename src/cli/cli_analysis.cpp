// tavro-cli analyze and backcalc: one layered elastic analysis of a section, prepared the
// way a design iteration prepares it, and the subgrade back-calculation.
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "analysis/analysis_input.h"
#include "analysis/lea_driver.h"
#include "cli/cli_context.h"
#include "core/number_format.h"
#include "core/section.h"
#include "core/section_ops.h"
#include "damage/aggregate_modulus.h"
#include "design/structure_check.h"

namespace tavro::cli {

namespace {

using analysis::ResponseKind;

std::optional<ResponseKind> KindOfOption(const std::string& word) {
    if (word == "strain") return ResponseKind::VerticalStrain;
    if (word == "stress") return ResponseKind::HorizontalStress;
    if (word == "deflection") return ResponseKind::VerticalDeflection;
    if (word == "hstrain") return ResponseKind::HorizontalStrain;
    return std::nullopt;
}

// Overlays on an existing rigid pavement are evaluated at the bottom of the overlay and of
// the existing slab (a concrete overlay), or at the bottom of the slab alone (an asphalt
// overlay); negative depths ask for the bottom of the layer above the interface.
std::vector<double> OverlayDepths(int pavementType, const analysis::AnalysisLayerList& list) {
    if (list.layers.size() < 3) return {};
    const double h1 = list.layers[0].thickness;
    const double h2 = list.layers[1].thickness;
    if (pavementType == core::kUnbondedOnRigid || pavementType == core::kPartBondedOnRigid)
        return {-h1, -(h1 + h2)};
    if (pavementType == core::kAcOnRigid) return {-(h1 + h2)};
    return {};
}

// Aircraft, aggregate moduli and the analysis input files, as before every analysis of a
// design. Returns an exit status when the section cannot be analysed (message shown).
// Aggregate layers are split into sublayers as a life run splits them (the responses the
// life and the report rest on), unless `sublayered` is false: a design's first analysis.
std::optional<int> PrepareInput(Run& r, analysis::AnalysisLayerList& list,
                                analysis::AnalysisInput& input, bool sublayered) {
    if (design::CheckStructure(r.state, r.port) == design::StructureStatus::Invalid)
        return kExitRefused;
    core::PrepareAircraft(r.state);
    r.state.Run.SublayeringOn = sublayered;
    r.state.Run.LnCdf = 10;  // far from convergence: the sublayer counts follow the thickness
    r.state.Run.DesignRunning = true;
    const auto aggregate = damage::CalculateAggregateModuli(r.state, r.port, list);
    if (aggregate.status != damage::AggregateStatus::Ok) return kExitRefused;
    if (r.opt.depthGiven) list.depths = {r.opt.depth};
    if (list.depths.empty()) list.depths = OverlayDepths(r.state.Current.PavementType, list);
    if (list.depths.empty()) {
        return r.Refuse("Analysing a Section",
                        "Section " + r.state.Current.SectionName +
                            " has no pavement type, so it has no evaluation depth of its own." +
                            "\r\nGive one with --depth.");
    }
    if (analysis::WriteVornaInput(r.state, r.port, list, input) != analysis::VornaStatus::Written)
        return kExitRefused;
    return std::nullopt;
}

std::string ResponseText(ResponseKind kind, double value) {
    switch (kind) {
        case ResponseKind::VerticalStrain:
        case ResponseKind::HorizontalStrain:
            return core::FormatMask(value, "0.0000000E-00");
        case ResponseKind::HorizontalStress:
            return core::FormatMask(value, "0.00") + " psi";
        case ResponseKind::VerticalDeflection:
            return core::FormatMask(value, "0.000000") + " in";
    }
    return {};
}

json LayersJson(const analysis::AnalysisLayerList& list) {
    json layers = json::array();
    for (const auto& l : list.layers)
        layers.push_back(
            {{"thickness", Stored(l.thickness)}, {"modulus", Stored(l.modulus)}, {"type", l.type}});
    return layers;
}

json RowJson(const Run& r, const analysis::ResponseRow& row) {
    json aircraft = json::array();
    for (std::size_t k = 0; k < row.kept.size(); ++k)
        aircraft.push_back({{"name", r.state.Current.Aircraft[k].AircraftName},
                            {"response", row.kept[k]},
                            {"convergedAt", row.convergedAt[k]}});
    return {{"depth", row.depth}, {"layer", row.layer}, {"aircraft", aircraft}};
}

void PrintAnalysisText(Run& r, const analysis::AnalysisLayerList& list,
                       const analysis::AnalysisResult& result) {
    std::ostream& o = r.out;
    o << "Section " << r.state.Current.SectionName << " in job " << r.state.JobName << ": "
      << analysis::ResponseKindName(result.kind) << "\n";
    o << "Analysis layers (thickness in, modulus psi, type):\n";
    for (std::size_t i = 0; i < list.layers.size(); ++i) {
        const auto& l = list.layers[i];
        o << "  " << i + 1 << "  "
          << (i + 1 == list.layers.size() ? std::string("-")
                                          : core::FormatMask(l.thickness, "0.0000"))
          << "  " << core::FormatMask(l.modulus, "0") << "  " << l.type << "\n";
    }
    for (const auto& row : result.output.rows) {
        o << "Depth " << core::FormatMask(row.depth, "0.0000") << " in, layer " << row.layer
          << ":\n";
        for (std::size_t k = 0; k < row.kept.size(); ++k) {
            std::string name = r.state.Current.Aircraft[k].AircraftName;
            name.resize(22, ' ');
            o << "  " << name << ResponseText(result.kind, row.kept[k]) << "   converged at node "
              << row.convergedAt[k] << "\n";
        }
    }
    o << "Analysis time: " << result.elapsedMs << " ms\n";
}

}  // namespace

int CmdAnalyze(Run& r) {
    std::optional<ResponseKind> kind;
    if (!r.opt.response.empty()) kind = KindOfOption(r.opt.response);
    if (auto stop = OpenJob(r)) return *stop;
    if (auto stop = SelectSectionByName(r)) return *stop;
    analysis::AnalysisLayerList list;
    analysis::AnalysisInput input;
    if (auto stop = PrepareInput(r, list, input, !r.opt.firstIteration)) {
        if (r.opt.json) r.PrintJson({{"status", "failed"}});
        return *stop;
    }
    const analysis::AnalysisResult result = analysis::RunAnalysis(r.state, r.port, input, kind);
    if (result.outcome != analysis::AnalysisOutcome::Completed) {
        if (r.opt.json) r.PrintJson({{"status", "failed"}, {"reason", result.reason}});
        return kExitRefused;
    }
    if (!r.opt.json) {
        PrintAnalysisText(r, list, result);
        return kExitOk;
    }
    const auto& first = result.output.rows.front();
    json doc = RowJson(r, first);
    doc["job"] = r.state.JobName;
    doc["section"] = r.state.Current.SectionName;
    doc["response"] = analysis::ResponseKindName(result.kind);
    doc["analysisLayers"] = LayersJson(list);
    doc["analysisTimeMs"] = result.elapsedMs;
    json rows = json::array();
    for (const auto& row : result.output.rows) rows.push_back(RowJson(r, row));
    doc["rows"] = rows;
    r.PrintJson(doc);
    return kExitOk;
}

namespace {

// "--basin d1,...,d7": seven positive numbers, thousandths of an inch.
std::optional<std::array<double, 7>> ParseBasin(const std::string& text) {
    std::array<double, 7> basin{};
    std::size_t count = 0, from = 0;
    while (true) {
        const std::size_t comma = text.find(',', from);
        const std::string item =
            text.substr(from, comma == std::string::npos ? comma : comma - from);
        const auto value = core::ParseNumber(item);
        if (!value || !(*value > 0) || !std::isfinite(*value) || count >= basin.size())
            return std::nullopt;
        basin[count++] = *value;
        if (comma == std::string::npos) break;
        from = comma + 1;
    }
    if (count != basin.size()) return std::nullopt;
    return basin;
}

}  // namespace

int CmdBackcalc(Run& r) {
    analysis::BackCalcOptions options;
    if (!r.opt.basin.empty()) {
        const auto basin = ParseBasin(r.opt.basin);
        if (!basin) {
            r.err << "--basin takes seven positive deflections d1,...,d7 in thousandths of an "
                     "inch, separated by commas.\n";
            return kExitUsage;
        }
        options.basinMils = *basin;
    }
    if (r.opt.loadGiven) {
        if (!(r.opt.load > 0) || !std::isfinite(r.opt.load)) {
            r.err << "--load takes a positive plate load in pounds.\n";
            return kExitUsage;
        }
        options.plateLoadLbs = r.opt.load;
    }
    if (auto stop = OpenJob(r)) return *stop;
    if (auto stop = SelectSectionByName(r)) return *stop;
    analysis::AnalysisLayerList list;
    analysis::AnalysisInput input;
    r.opt.depthGiven = true;  // the back-calculation evaluates the surface
    r.opt.depth = 0;
    if (auto stop = PrepareInput(r, list, input, true)) {
        if (r.opt.json) r.PrintJson({{"status", "failed"}});
        return *stop;
    }
    // The aggregate layers rest on the subgrade: each trial subgrade modulus gives them the
    // moduli a life run would give them on it (their sublayer counts depend on thickness
    // only, so the layer list keeps its shape). The section is not saved.
    options.bottomModulusChanged = [&r](double modulus, analysis::LeaStructure& structure) {
        r.state.Current.Layers.back().LayerModulus = static_cast<float>(modulus);
        analysis::AnalysisLayerList trial;
        if (damage::CalculateAggregateModuli(r.state, r.port, trial).status !=
            damage::AggregateStatus::Ok)
            return;
        const analysis::LeaStructure updated =
            analysis::BuildAnalysisInput(r.state, trial).structure;
        if (updated.Layers == structure.Layers) structure.Modulus = updated.Modulus;
    };
    const auto result = analysis::BackCalculateSubgrade(r.state, r.port, input.structure, options);
    using analysis::BackCalcOutcome;
    const bool usable = result.outcome != BackCalcOutcome::BadInput &&
                        result.outcome != BackCalcOutcome::AnalysisFault;
    const char* outcome = "";
    switch (result.outcome) {
        case BackCalcOutcome::Converged:
            outcome = "converged";
            break;
        case BackCalcOutcome::AtLowerBound:
            outcome = "at lower bound";
            break;
        case BackCalcOutcome::AtUpperBound:
            outcome = "at upper bound";
            break;
        case BackCalcOutcome::NotConverged:
            outcome = "not converged";
            break;
        case BackCalcOutcome::FlatMisfit:
            outcome = "flat misfit";
            break;
        case BackCalcOutcome::BadInput:
            outcome = "bad input";
            break;
        case BackCalcOutcome::AnalysisFault:
            outcome = "analysis fault";
            break;
    }
    if (r.opt.json) {
        json sensors = json::array();
        for (std::size_t i = 0; i < result.fittedBasinMils.size(); ++i)
            sensors.push_back({{"offset", analysis::kSensorOffsetsIn[i]},
                               {"measured", options.basinMils[i]},
                               {"computed", result.fittedBasinMils[i]}});
        r.PrintJson({{"job", r.state.JobName},
                     {"section", r.state.Current.SectionName},
                     {"outcome", outcome},
                     {"modulus", usable ? json(result.modulusPsi) : json(nullptr)},
                     {"iterations", result.iterations},
                     {"clamped", result.clamped},
                     {"load", options.plateLoadLbs},
                     {"fit", sensors},
                     {"rmsMisfit", usable ? json(result.rmsMisfitMils) : json(nullptr)},
                     {"reason", result.reason}});
    } else if (usable) {
        r.out << "Section " << r.state.Current.SectionName << " in job " << r.state.JobName
              << ": subgrade modulus " << core::FormatMask(result.modulusPsi, "#,##0") << " psi ("
              << outcome << ", " << result.iterations << " iterations"
              << (result.outcome == BackCalcOutcome::AtLowerBound ||
                          result.outcome == BackCalcOutcome::AtUpperBound
                      ? ", held within 1,000..100,000 psi"
                      : "")
              << ")\n";
        if (!result.reason.empty()) r.out << result.reason << "\n";
        r.out << "Plate load " << core::FormatMask(options.plateLoadLbs, "#,##0")
              << " lbs on a 12 in plate; deflections in thousandths of an inch:\n"
              << "  sensor at   measured    computed\n";
        for (std::size_t i = 0; i < result.fittedBasinMils.size(); ++i) {
            std::string offset = core::FormatMask(analysis::kSensorOffsetsIn[i], "0") + " in";
            offset.resize(12, ' ');
            std::string measured = core::FormatMask(options.basinMils[i], "0.00");
            measured.insert(0, measured.size() < 8 ? 8 - measured.size() : 0, ' ');
            std::string computed = core::FormatMask(result.fittedBasinMils[i], "0.00");
            computed.insert(0, computed.size() < 12 ? 12 - computed.size() : 0, ' ');
            r.out << "  " << offset << measured << computed << "\n";
        }
        r.out << "RMS misfit " << core::FormatMask(result.rmsMisfitMils, "0.000")
              << " thousandths of an inch\n";
    }
    // A modulus held at a bound is a result too: it is reported as such.
    const bool found = result.outcome == BackCalcOutcome::Converged ||
                       result.outcome == BackCalcOutcome::AtLowerBound ||
                       result.outcome == BackCalcOutcome::AtUpperBound;
    return found ? kExitOk : kExitRefused;
}

}  // namespace tavro::cli
