#include "design/run_controller.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/job_file.h"
#include "core/job_ops.h"
#include "design/design_fixture.h"

namespace tavro::design {
namespace {

using testing::DesignFixture;

constexpr double kDesignTolerance = 0.005;        // |ln CDF| of a converged design
constexpr double kFlexibleLifeTolerance = 0.001;  // |CDF - 1| of a flexible life

// Job Mine as another program reads it from `dir`.
core::ProgramState Mine(const std::string& dir, test::FakeUserPort& ui) {
    core::ProgramState s;
    core::InitLibraries(s);
    s.ProgramDir = dir;
    s.JobName = "Mine";
    EXPECT_FALSE(core::ReadJob(s, ui));
    return s;
}

TEST(RunController, EverySampleSectionDesignsAndItsLifeIsTheDesignLife) {
    DesignFixture f;
    for (int slot : {1, 3}) {
        SCOPED_TRACE(slot);
        f.Select(slot);
        const RunResult design = RunDesignCommand(f.state, f.ui, RunMode::Design, f.InMemory());
        ASSERT_EQ(design.summary.outcome, DesignOutcome::Converged) << design.summary.why;
        EXPECT_LT(std::fabs(std::log(design.summary.cdf)), kDesignTolerance);
        EXPECT_EQ(f.state.Current.SectionTimeStamp, f.ui.nowSerial);

        const double stamp = f.state.Current.SectionTimeStamp;
        const RunResult life = RunLifeCommand(f.state, f.ui, f.InMemory());
        ASSERT_EQ(life.summary.outcome, DesignOutcome::Converged) << life.summary.why;
        EXPECT_NEAR(life.summary.life, 20, 20 * (kDesignTolerance + kFlexibleLifeTolerance));
        EXPECT_EQ(f.state.Current.SectionTimeStamp, stamp);  // a life run keeps the stamp
    }
    EXPECT_TRUE(f.ui.boxes.empty());
}

TEST(RunController, PreconditionsAreCheckedInOrderWithTheirTexts) {
    DesignFixture f(1);
    f.state.Current.SectionTimeStamp = core::DaySerialFromCivil({2024, 3, 5, 14, 7, 9});
    f.state.FirstInstance = false;
    f.state.Current.Aircraft.clear();
    f.state.JobName = "Mine";
    f.ui.Answer(core::Answer::Yes);
    EXPECT_EQ(RunDesignCommand(f.state, f.ui, RunMode::Design).status, RunStatus::Refused);
    ASSERT_EQ(f.ui.Titles(), (std::vector<std::string>{"Already Designed", "Not First Instance"}));
    EXPECT_EQ(f.ui.boxes[0].text,
              "A design for this section was\r\ncompleted on 03/05/24 14:07:09.\r\n\r\n"
              "Do you want to continue?");
    EXPECT_EQ(f.ui.boxes[0].defaultAnswer, core::Answer::No);
    EXPECT_EQ(f.ui.boxes[1].text,
              "A previous instance of the program\r\nis, or has been, running.\r\n\r\n"
              "Design solutions can only be made\r\nby the first instance.");

    f.state.FirstInstance = true;
    f.ui.boxes.clear();
    f.ui.Answer(core::Answer::Yes);
    EXPECT_EQ(RunDesignCommand(f.state, f.ui, RunMode::Design).status, RunStatus::Refused);
    ASSERT_EQ(f.ui.Titles(), (std::vector<std::string>{"Already Designed", "Designing Structure"}));
    EXPECT_EQ(f.ui.boxes[1].text, "There are no aircraft in\r\njob Mine section ACAggregate.");
}

TEST(RunController, RunErrorTextsByNumber) {
    EXPECT_EQ(
        RunErrorMessage(11).text,
        "Division by zero.\r\nPlease make a note of all section\r\ndata and report the error.");
    EXPECT_EQ(RunErrorMessage(9).text,
              "An unanticipated error has occurred.\r\nPlease make a note of all section\r\n"
              "data and report the error.\r\n\r\nThe error number is 9.");
}

// Another program adds a section ahead of the batch mid-run: each batch section is still
// designed and saved once, the newcomer left alone.
TEST(RunController, BatchSavesEachSectionAndFollowsItWhenAnotherProgramMovesIt) {
    DesignFixture f;
    f.state.JobName = "Mine";
    f.state.Sections.erase(f.state.Sections.begin() + 1);  // ACAggregate, NewFlexible
    ASSERT_TRUE(core::WriteJob(f.state, f.ui));
    bool added = false;
    f.ui.onPoll = [&](int) {
        if (added) return;
        added = true;
        test::FakeUserPort otherUi;
        otherUi.answerDefaults = true;
        core::ProgramState other = Mine(f.state.ProgramDir, otherUi);
        core::SelectSection(other, otherUi, 1);
        ASSERT_EQ(core::DuplicateSection(other, otherUi, "AAFIRST"), core::OpStatus::Done);
    };
    const BatchResult batch = RunBatch(f.state, f.ui, 1, BatchSave::SaveEach);
    EXPECT_EQ(batch.end, BatchEnd::Completed);
    ASSERT_EQ(batch.sections.size(), 2u);
    EXPECT_EQ(batch.sections[1].slot, 3);
    EXPECT_EQ(f.state.Current.SectionName, "ACAggregate");
    core::ProgramState reread = Mine(f.state.ProgramDir, f.ui);
    ASSERT_EQ(reread.Sections.size(), 3u);
    EXPECT_EQ(reread.Sections[0].SectionName, "AAFIRST");
    EXPECT_TRUE(core::IsNotAnalysed(reread.Sections[0].SectionTimeStamp));
    for (std::size_t k = 0; k < 2; ++k) {
        const auto& entry = batch.sections[k];
        EXPECT_TRUE(entry.saved);
        const auto layer = static_cast<std::size_t>(entry.run.designLayer - 1);
        EXPECT_NEAR(reread.Sections[k + 1].Layers[layer].LayerThickness,
                    entry.run.layers[layer].thickness, 0.00005);  // the job file keeps 4 decimals
        EXPECT_EQ(reread.Sections[k + 1].SectionTimeStamp, f.ui.nowSerial);
    }
}

TEST(RunController, SamplesAreDesignedInMemoryButNeverSaved) {
    DesignFixture f;
    const BatchResult batch = RunBatch(f.state, f.ui, 1, BatchSave::SaveEach, f.InMemory());
    EXPECT_EQ(batch.end, BatchEnd::SaveFailed);
    ASSERT_EQ(batch.sections.size(), 1u);
    EXPECT_EQ(batch.sections[0].run.summary.outcome, DesignOutcome::Converged);
    EXPECT_FALSE(f.dir.Exists("Samples.JOB"));
}

// A strength stored outside 100-1000 psi (read from a file as it was) is refused by a run.
TEST(RunController, AConcreteStrengthOutsideItsRangeIsRefusedByARun) {
    const std::pair<float, const char*> cases[] = {{99.0f, "99"}, {1001.0f, "1,001"}};
    for (const auto& [strength, shown] : cases) {
        DesignFixture f;
        f.state.JobName = "Mine";  // our own job, not the samples
        f.SelectRigidSection();
        f.state.Current.Layers[0].LayerFlexStrength = strength;
        f.ui.boxes.clear();
        const RunResult run = RunDesignCommand(f.state, f.ui, RunMode::Design, f.InMemory());
        EXPECT_EQ(run.status, RunStatus::Refused);
        ASSERT_EQ(f.ui.Titles(), std::vector<std::string>{"Concrete Strength"});
        EXPECT_EQ(f.ui.boxes[0].text.substr(0, f.ui.boxes[0].text.find("\r\n")),
                  "Layer 1 (PCC) has a flexural strength of " + std::string(shown) + " psi.");
        EXPECT_NE(f.ui.boxes[0].text.find("A run needs a strength from 100 to 1,000 psi."),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace tavro::design
