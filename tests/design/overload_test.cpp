#include "design/overload.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "design/design_fixture.h"

namespace tavro::design {
namespace {

using testing::DesignFixture;

// What identifies a design aircraft in the job file, in list order.
struct StoredAircraft {
    std::string name;
    float load, departures, growth;
    bool overload;
    bool operator==(const StoredAircraft&) const = default;
};

std::vector<StoredAircraft> Stored(const core::CurrentSectionRecord& section) {
    std::vector<StoredAircraft> out;
    for (const auto& a : section.Aircraft)
        out.push_back(
            {a.AircraftName, a.GrossLoad, a.AnnualDepartures, a.AnnualGrowth, a.OverloadFlag});
    return out;
}

// Life runs giving scripted CDFs, recording the aircraft list each one saw.
struct ScriptedLifeRuns {
    DesignFixture& f;
    std::deque<RunResult> results;
    std::vector<std::vector<StoredAircraft>> seen;

    void Give(float cdf, DesignOutcome outcome = DesignOutcome::Converged,
              RunStatus status = RunStatus::Ran) {
        RunResult r;
        r.status = status;
        r.mode = RunMode::Life;
        r.summary.outcome = outcome;
        r.summary.cdf = cdf;
        results.push_back(r);
    }
    RunResult Run(int aircraft) {
        return OverloadAnalysis(f.state, f.ui, aircraft, [this] {
            seen.push_back(Stored(f.state.Current));
            RunResult r = results.front();
            results.pop_front();
            return r;
        });
    }
};

// NewFlexible with its Falcon 2000 marked overload, growing so that restoring it shows.
void MarkFalcon(DesignFixture& f, float departures) {
    f.Select(3);
    core::DesignAircraft& falcon = f.state.Current.Aircraft[3];
    falcon.OverloadFlag = true;
    falcon.AnnualDepartures = departures;
    falcon.AnnualGrowth = 0.03f;
}

TEST(Overload, VerdictsAtTheBudgetEdgesWithTheirMessages) {
    const struct {
        float departures;
        std::vector<float> cdfs;  // of the regular traffic, then with the overload counted
        bool possible;
        const char *title, *text;
    } cases[] = {
        {250,
         {0.5f, 10},
         true,
         "TAVRO",  // c = 0.5 + 10 / 20 = 1.00: still possible
         "Overload Possible.\r\nCDF without overload 0.50.\r\n"
         "CDF with overload 1.00 for 250 OVERLOAD departures."},
        {12.5f,
         {0.9f, 4},
         false,
         nullptr,  // exactly 0.9 of regular traffic goes on
         "Overload Not Possible.\r\nChange Gross Load or Number of Departures to comply.\r\n"
         "CDF without overload 0.90.\r\nCDF with overload 1.10 for 12.5 OVERLOAD departures."},
        {250, {0.95f}, false, "TAVRO", "CDF > 0.9, No overload is possible."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        DesignFixture f;
        MarkFalcon(f, c.departures);
        const auto before = Stored(f.state.Current);
        ScriptedLifeRuns runs{f, {}, {}};
        for (const float cdf : c.cdfs) runs.Give(cdf);
        const RunResult r = runs.Run(4);
        ASSERT_TRUE(r.overload);
        EXPECT_EQ(r.summary.cdf, c.cdfs[0]);  // the result is the regular traffic's run
        EXPECT_EQ(r.overload->secondRun, c.cdfs.size() == 2);
        EXPECT_EQ(r.overload->possible, c.possible);
        EXPECT_TRUE(f.ui.OnlyBox(c.title, c.text));
        EXPECT_EQ(Stored(f.state.Current), before);
        // First run: the overload aircraft left out; second: counted, without growth.
        ASSERT_EQ(runs.seen.size(), c.cdfs.size());
        EXPECT_EQ(runs.seen[0], before);
        if (c.cdfs.size() < 2) continue;
        EXPECT_EQ(r.overload->c1, c.cdfs[1]);
        std::vector<StoredAircraft> counted = before;
        counted[3].overload = false;
        counted[3].growth = 0;
        EXPECT_EQ(runs.seen[1], counted);
    }
}

TEST(Overload, ALifeRunThatEndsWithoutItsCdfEndsTheCheckWithoutAVerdict) {
    DesignFixture f;
    MarkFalcon(f, 250);
    const auto before = Stored(f.state.Current);
    ScriptedLifeRuns runs{f, {}, {}};

    runs.Give(0.2f, DesignOutcome::Interrupted);
    EXPECT_FALSE(runs.Run(4).overload);
    EXPECT_EQ(runs.seen.size(), 1u);

    runs.Give(0.2f);
    runs.Give(0, DesignOutcome::Error, RunStatus::RunError);
    const RunResult r = runs.Run(4);
    EXPECT_EQ(r.status, RunStatus::RunError);
    EXPECT_FALSE(r.overload);

    EXPECT_TRUE(f.ui.boxes.empty());
    EXPECT_EQ(Stored(f.state.Current), before);
}

TEST(Overload, OverlaysOnRigidPavementsAreRefusedBeforeAnyRun) {
    for (const std::int16_t top : {11, 12, 10}) {
        SCOPED_TRACE(top);
        DesignFixture f({top, 5, 80, 100});
        f.state.Current.Aircraft[1].OverloadFlag = true;
        const auto before = Stored(f.state.Current);

        const RunResult r = RunLifeCommand(f.state, f.ui, f.InMemory());
        EXPECT_EQ(r.status, RunStatus::Refused);
        EXPECT_EQ(f.ui.eventPolls, 0);  // no run started
        EXPECT_TRUE(f.ui.OnlyBox("TAVRO",
                                 "The overload analysis is not available for\r\n"
                                 "overlays on rigid pavements: their life runs give\r\n"
                                 "the life of the overlay, not a CDF at the design life.\r\n\r\n"
                                 "Clear the overload mark in the aircraft list\r\n"
                                 "to compute the life of this section."));
        EXPECT_EQ(Stored(f.state.Current), before);
    }
}

// The CDF at the design life of a plain life run of `section` on a copy of the state.
float CdfAtDesignLife(const DesignFixture& f, const core::CurrentSectionRecord& section) {
    core::ProgramState copy = f.state;
    copy.Current = section;
    test::FakeUserPort ui;
    ui.answerDefaults = true;
    const RunResult r = RunDesignCommand(copy, ui, RunMode::Life, f.InMemory());
    EXPECT_EQ(r.status, RunStatus::Ran);
    return r.summary.cdf;
}

TEST(Overload, FlexibleSectionComparesTheRegularTrafficWithTheOverloadAdded) {
    DesignFixture f(3);
    ASSERT_EQ(RunDesignCommand(f.state, f.ui, RunMode::Design, f.InMemory()).summary.outcome,
              DesignOutcome::Converged);
    // Marked after the design: the Falcon 2000 (20 departures a year) with growth.
    f.state.Current.Aircraft[3].OverloadFlag = true;
    f.state.Current.Aircraft[3].AnnualGrowth = 0.03f;
    const auto before = Stored(f.state.Current);

    // References: the list without the Falcon, and with it counted without growth.
    core::CurrentSectionRecord regular = f.state.Current;
    regular.Aircraft.erase(regular.Aircraft.begin() + 3);
    const float c0 = CdfAtDesignLife(f, regular);
    core::CurrentSectionRecord counted = f.state.Current;
    counted.Aircraft[3].OverloadFlag = false;
    counted.Aircraft[3].AnnualGrowth = 0;
    const float c1 = CdfAtDesignLife(f, counted);
    // Designed for this very traffic, the overload run's CDF is the design's.
    EXPECT_NEAR(c1, 1.0, 0.005);
    ASSERT_LT(c0, 0.9);

    f.ui.boxes.clear();
    const RunResult r = RunLifeCommand(f.state, f.ui, f.InMemory());
    ASSERT_TRUE(r.overload);
    EXPECT_NEAR(r.overload->c0, c0, 1e-5 * c0);
    EXPECT_NEAR(r.overload->c1, c1, 1e-5 * c1);
    EXPECT_NEAR(r.overload->c, c0 + c1 / 20, 1e-5);
    ASSERT_EQ(f.ui.boxes.size(), 1u);
    EXPECT_TRUE(f.ui.boxes[0].text.ends_with(" for 20 OVERLOAD departures."));
    EXPECT_EQ(Stored(f.state.Current), before);
}

}  // namespace
}  // namespace tavro::design
