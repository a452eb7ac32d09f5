// The frame every thickness design and life run shares: start, one analysis per iteration
// until the procedure stops, the ending it records, and the clean-up that follows even a run
// fault. Each procedure supplies what differs: its start, its iteration and its clean-up.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "damage/flexible_cdf.h"
#include "design/design_common.h"

namespace tavro::design {

class DesignRun {
public:
    virtual ~DesignRun() = default;
    DesignRun(const DesignRun&) = delete;
    DesignRun& operator=(const DesignRun&) = delete;

    // Start, then iterations until one says stop. A run fault ends the run with its number;
    // the clean-up runs whatever the ending.
    RunSummary Execute();

protected:
    enum class Next { Iterate, Stop };

    DesignRun(core::ProgramState& state, core::UserPort& ui, RunMode mode,
              const DesignOptions& options, std::string_view title);

    // False when the run ended before its first iteration.
    virtual bool Start() = 0;
    virtual Next Iteration() = 0;
    virtual void Finish() {}

    bool Life() const { return summary_.mode == RunMode::Life; }

    Next End(DesignOutcome outcome, std::string why);
    // Ends the run under the run-error report `text`.
    Next GiveUp(DesignOutcome outcome, std::string why, std::string_view text,
                std::string_view title);

    // The aggregate structure checked before the first analysis: a refusal ends the run under
    // the procedure's title, an acceptance redraws.
    bool AcceptAggregates();

    // One analysis of the current section under the procedure's title; anything but a
    // completed analysis ends the run. Records whether aggregate layers were sublayered.
    bool Analyse(AnalysisStep& step);

    // Records the iteration's CDF and |ln CDF| (10 for a structure with no damage at all).
    // Iterate when the run restarts with sublayered aggregate layers, Stop once converged.
    std::optional<Next> SettleOnCdf(float cdf, bool noDamage);

    core::ProgramState& state_;
    core::UserPort& ui_;
    const DesignOptions& options_;
    RunSummary summary_;
    bool sublayered_ = false;

private:
    std::string_view title_;
};

// A run on the subgrade strain of a flexible structure: the new pavement and the asphalt
// overlay differ in the layers they move, not in how they take the damage or the life.
class SubgradeRun : public DesignRun {
protected:
    using DesignRun::DesignRun;

    // One analysis and the subgrade CDF of its responses; false ends the run.
    bool AnalyseAndDamage(damage::FlexibleCdfResult& damage);

    // The secant search for the life from the CDF at the design life.
    Next ComputeLife(double cdfAtDesignLife, double tolerance);

    // The responses of the last analysis stay available beside the next run's result file;
    // no asphalt CDF belongs to the section until one is taken.
    void KeepSubgradeResponses();

    double depth_ = 0;
};

}  // namespace tavro::design
