#include "control/damage_chart.h"

#include "core/program_state.h"

namespace tavro::control {

namespace {
constexpr double kPositionSpacingIn = 10;  // lateral grid spacing
}  // namespace

DamageChart MakeDamageChart(const core::ProgramState& state) {
    const core::DamageTables& d = state.Run.Damage;
    const core::CurrentSectionRecord& s = state.Current;
    DamageChart chart;
    chart.criticalPosition = d.CriticalPosition;
    const int count = std::min(s.AircraftCount(), core::kMaxAircraft);
    chart.series.resize(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i)
        chart.series[static_cast<std::size_t>(i - 1)].aircraft =
            s.Aircraft[static_cast<std::size_t>(i - 1)].AircraftName;
    for (int j = 1; j <= core::kLateralPositions; ++j) {
        const auto pj = static_cast<std::size_t>(j);
        chart.offsetsIn.push_back((j - 1) * kPositionSpacingIn);
        const double total = d.CdfByPosition[pj];
        chart.total.push_back(total);
        std::vector<double> raw(static_cast<std::size_t>(count), 0.0);
        double sum = 0;
        for (int i = 1; i <= count; ++i) {
            const auto pi = static_cast<std::size_t>(i);
            const core::DesignAircraft& a = s.Aircraft[pi - 1];
            if (a.OverloadFlag || !(d.AllowableCoverages[pi] > 0)) continue;
            raw[pi - 1] = static_cast<double>(d.CoveragesPerPass[pi][pj]) * a.TotalDepartures /
                          d.AllowableCoverages[pi];
            sum += raw[pi - 1];
        }
        for (int i = 0; i < count; ++i) {
            const auto pi = static_cast<std::size_t>(i);
            chart.series[pi].cdf.push_back(sum > 0 ? total * raw[pi] / sum : 0.0);
        }
    }
    return chart;
}

}  // namespace tavro::control
