#include "design/design_run.h"

#include <cmath>
#include <filesystem>
#include <system_error>
#include <utility>

#include "analysis/scratch_file.h"
#include "core/file_io.h"
#include "core/narrow.h"
#include "damage/aggregate_modulus.h"

namespace tavro::design {

DesignRun::DesignRun(core::ProgramState& state, core::UserPort& ui, RunMode mode,
                     const DesignOptions& options, std::string_view title)
    : state_(state), ui_(ui), options_(options), title_(title) {
    summary_.mode = mode;
}

RunSummary DesignRun::Execute() {
    try {
        if (Start()) {
            while (Iteration() == Next::Iterate) {
            }
        }
    } catch (const RunFault& fault) {
        state_.Run.DesignRunning = false;
        summary_.runError = fault.number;
        End(DesignOutcome::Error, fault.why);
    }
    Finish();
    summary_.iterations = state_.Run.IterationCount;
    return summary_;
}

DesignRun::Next DesignRun::End(DesignOutcome outcome, std::string why) {
    summary_.outcome = outcome;
    summary_.why = std::move(why);
    return Next::Stop;
}

DesignRun::Next DesignRun::GiveUp(DesignOutcome outcome, std::string why, std::string_view text,
                                  std::string_view title) {
    ShowRunError(state_, ui_, text, title);
    summary_.messageShown = true;
    return End(outcome, std::move(why));
}

bool DesignRun::AcceptAggregates() {
    analysis::AnalysisLayerList list;
    if (damage::CalculateAggregateModuli(state_, ui_, list).status != damage::AggregateStatus::Ok) {
        GiveUp(DesignOutcome::Error, "the aggregate layers were refused",
               JoinLines({"Error computing aggregate Modulus", "The design has been aborted"}),
               title_);
        return false;
    }
    core::ReportProgress(state_, ui_);
    return true;
}

bool DesignRun::Analyse(AnalysisStep& step) {
    step = AnalyseCurrentSection(state_, ui_, title_);
    switch (step.status) {
        case AnalysisStepStatus::Analysed:
            break;
        case AnalysisStepStatus::AggregateError:
            summary_.messageShown = true;
            End(DesignOutcome::Error, "the aggregate layers were refused");
            return false;
        case AnalysisStepStatus::Stopped:
            End(DesignOutcome::Interrupted, "the run was stopped");
            return false;
        case AnalysisStepStatus::Failed:
            summary_.messageShown = true;
            End(DesignOutcome::Error, "the analysis failed: " + step.reason);
            return false;
    }
    sublayered_ = step.sublayered;
    return true;
}

std::optional<DesignRun::Next> DesignRun::SettleOnCdf(float cdf, bool noDamage) {
    summary_.cdf = cdf;
    state_.Run.Display.ProgressCDF = cdf;
    core::ReportProgress(state_, ui_);
    const double m = noDamage ? 10.0 : std::fabs(LnCdf(cdf));
    state_.Run.LnCdf = m;
    if (sublayered_ && m < options_.sublayeringThreshold && !state_.Run.SublayeringOn) {
        state_.Run.SublayeringOn = true;
        state_.Run.LnCdf = 10;
        return Next::Iterate;
    }
    if (m < options_.convergence) return End(DesignOutcome::Converged, "|ln CDF| below tolerance");
    return std::nullopt;
}

bool SubgradeRun::AnalyseAndDamage(damage::FlexibleCdfResult& damage) {
    AnalysisStep step;
    if (!Analyse(step)) return false;
    depth_ = step.depth;
    damage = damage::ComputeFlexibleCDF(state_, ui_, depth_, damage::FlexibleCriterion::Subgrade);
    if (damage.readError) {
        state_.Run.DesignRunning = false;
        End(DesignOutcome::Error, "the responses could not be read");
        return false;
    }
    return true;
}

DesignRun::Next SubgradeRun::ComputeLife(double cdfAtDesignLife, double tolerance) {
    summary_.cdf = core::Single(cdfAtDesignLife);
    const LifeSearch search =
        SearchLife(state_, state_.Current.DesignLife, cdfAtDesignLife, tolerance, options_, [this] {
            const damage::FlexibleCdfResult r = damage::ComputeFlexibleCDF(
                state_, ui_, depth_, damage::FlexibleCriterion::Subgrade);
            return LifeCdf{r.cdf, r.strainsTooLow, r.readError};
        });
    state_.Run.Display.ProgressCDF = summary_.cdf;
    state_.Run.Display.StructureLife = search.life;
    core::ReportProgress(state_, ui_);
    ConcludeLife(state_, ui_, options_, search, "Subgrade strains are too low", summary_);
    return Next::Stop;
}

void SubgradeRun::KeepSubgradeResponses() {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path dir(state_.ProgramDir);
    // Both are scratch files: the responses are copied over the kept file in place, as
    // every analysis file is written, rather than renamed.
    const core::ReadResult result = core::ReadWholeFile((dir / "DAMTMP.DAT").string());
    if (result.error == 0 &&
        analysis::WriteScratchFile((dir / "DAMTMPSG.DAT").string(), result.bytes) == 0) {
        fs::remove(dir / "DAMTMP.DAT", ec);
    } else {
        fs::remove(dir / "DAMTMPSG.DAT", ec);  // no responses to keep: none are left over
    }
    state_.Current.AsphaltCDF = -1;
}

}  // namespace tavro::design
