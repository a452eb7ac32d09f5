// Jobs and sections over real files, with their notes, and the name rules.
#include "core/job_ops.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "core/job_file.h"
#include "core/notes_file.h"
#include "core/program_state.h"
#include "core/section_ops.h"
#include "core/startup.h"
#include "support/fake_user_port.h"
#include "support/job_builder.h"
#include "support/temp_dir.h"

namespace tavro::core {
namespace {

using test::FakeUserPort;
using test::NotesFile;
using test::TempDir;

class JobOps : public ::testing::Test {
protected:
    void Start() {
        ui.answerDefaults = true;
        StartProgram(state, ui, dir.path(), true);
        ui.boxes.clear();
    }
    // Creates job `name` holding copies of the given sample sections, in that order.
    void MakeJob(const std::string& name, std::vector<std::string> sections) {
        dir.Write(name + ".JOB", test::SampleJobFile(sections));
    }
    // Starts on job `name`, made of the sections `sections`.
    void OpenNew(const std::string& name, std::vector<std::string> sections) {
        MakeJob(name, std::move(sections));
        Start();
        ASSERT_TRUE(OpenJob(state, ui, name));
    }
    ProgramState Reread(const std::string& job) {
        ProgramState reread = state;
        reread.JobName = job;
        EXPECT_FALSE(ReadJob(reread, ui));
        return reread;
    }

    TempDir dir;
    ProgramState state;
    FakeUserPort ui;
};

// A stray job file named like the built-in job (in any case) never lists "Samples" twice.
// The section list shows names and pavement types; a damaged job falls back to Samples.
TEST_F(JobOps, StartsOnSamplesAndListsJobFilesAfterIt) {
    for (const char* job : {"RWY-2", "APRON", "samples"}) MakeJob(job, {"A"});
    const std::string bad = "Format3\r\nA\r\n 11/01/71 00:00:00   garbage 0\r\n";
    dir.Write("BAD.JOB", bad);
    dir.Write("notes.txt", "x");
    ui.answerDefaults = true;
    StartProgram(state, ui, dir.path() + "//", true);
    EXPECT_EQ(state.ProgramDir, dir.path()) << "a single trailing separator";
    EXPECT_EQ(state.JobList, (std::vector<std::string>{"Samples", "APRON", "BAD", "RWY-2"}));
    EXPECT_EQ(state.Current.SectionName, "ACAggregate");
    EXPECT_TRUE(ui.boxes.empty());
    SelectSection(state, ui, 2);
    EXPECT_EQ(FillSectionList(state, ui)[1], "AConFlex\tAC on Flexible");
    EXPECT_EQ(state.Current.SectionName, "AConFlex");
    EXPECT_FALSE(OpenJob(state, ui, "BAD"));
    EXPECT_EQ(state.JobName, "Samples");
    EXPECT_EQ(dir.Read("BAD.JOB"), bad);
}

TEST_F(JobOps, NewJobRefusesATakenNameAndDeleteJobAsksWithNoAsDefault) {
    Start();
    EXPECT_EQ(NewJob(state, ui, "samples"), OpStatus::Refused);  // its message: the cli test
    EXPECT_FALSE(dir.Exists("samples.JOB"));
    MakeJob("TAXI", {"A"});
    const std::string before = dir.Read("TAXI.JOB");
    EXPECT_EQ(NewJob(state, ui, "TAXI"), OpStatus::Refused);
    EXPECT_EQ(ui.boxes.back().text,
              "Job TAXI already exists.\r\n\r\nIf you want to use the name again,\r\n"
              "first delete the job.");
    EXPECT_EQ(dir.Read("TAXI.JOB"), before);

    EXPECT_EQ(NewJob(state, ui, "OLD"), OpStatus::Done);
    EXPECT_EQ(dir.Read("OLD.JOB"), "Format3\r\n");
    EXPECT_EQ(state.JobList, (std::vector<std::string>{"Samples", "OLD", "TAXI"}));
    ASSERT_TRUE(OpenJob(state, ui, "OLD"));
    EXPECT_EQ(state.CurrentSection, 0);

    dir.Write("OLD.NTS", NotesFile({{"A", "x"}}));
    ui.Answer(Answer::No);
    EXPECT_EQ(DeleteJob(state, ui), OpStatus::Refused);
    EXPECT_EQ(ui.boxes.back().defaultAnswer, Answer::No);
    EXPECT_EQ(ui.boxes.back().text,
              "Deleting all data for OLD.\r\n\r\nAll section and notes data will be deleted."
              "\r\n\r\nDo you want to continue.");
    EXPECT_TRUE(dir.Exists("OLD.JOB"));
    ui.Answer(Answer::Yes);
    EXPECT_EQ(DeleteJob(state, ui), OpStatus::Done);
    EXPECT_FALSE(dir.Exists("OLD.JOB"));
    EXPECT_FALSE(dir.Exists("OLD.NTS"));
    EXPECT_EQ(state.JobName, "Samples");
}

TEST_F(JobOps, DeletingASectionAsksAndSelectsItsNeighbour) {
    // The section deleted, the one selected after it, the notes left.
    using Notes = std::vector<std::pair<std::string, std::string>>;
    const std::tuple<int, std::string, Notes> cases[] = {
        {3, "B", {{"A", "1"}, {"B", "2"}}},  // the new last
        {1, "B", {{"B", "2"}, {"C", "3"}}},  // the former second
    };
    for (const auto& [selected, selectedAfter, notesLeft] : cases) {
        SCOPED_TRACE(selected);
        dir.Write("J.NTS", NotesFile({{"A", "1"}, {"B", "2"}, {"C", "3"}}));
        OpenNew("J", {"A", "B", "C"});
        SelectSection(state, ui, selected);
        const std::string before = dir.Read("J.JOB");
        ui.Answer(Answer::No);
        EXPECT_EQ(DeleteSection(state, ui), OpStatus::Refused);
        EXPECT_EQ(dir.Read("J.JOB"), before);
        ui.Answer(Answer::Yes);
        EXPECT_EQ(DeleteSection(state, ui), OpStatus::Done);
        EXPECT_EQ(ui.boxes.back().text, "Deleting section " +
                                            std::string(selected == 1 ? "A" : "C") +
                                            " in job J.\r\n\r\nDo you want to continue?");
        EXPECT_EQ(state.Current.SectionName, selectedAfter);
        EXPECT_EQ(dir.Read("J.NTS"), NotesFile(notesLeft));
        EXPECT_EQ(Reread("J").SectionCount(), 2);
    }
}

TEST_F(JobOps, SamplesCannotBeDeletedOrGrow) {
    Start();
    const std::string refused = "Job Samples is part of the system.\r\n";
    EXPECT_EQ(DeleteJob(state, ui), OpStatus::Refused);
    EXPECT_EQ(ui.boxes.back().text, refused + "It cannot be deleted.");
    EXPECT_EQ(DuplicateSection(state, ui, "X"), OpStatus::Refused);
    EXPECT_EQ(ui.boxes.back().text, refused + "New sections cannot be added.");
    OpenNew("J", {"A"});
    EXPECT_EQ(CopySectionToJob(state, ui, "Samples", "A"), OpStatus::Refused);
    EXPECT_EQ(ui.boxes.back().text, refused + "No more sections can be added.");
    EXPECT_EQ(state.SectionCount(), 1);
}

TEST_F(JobOps, CopyIsRefusedIntoItselfOrAMissingJob) {
    OpenNew("J", {"A"});
    const std::string before = dir.Read("J.JOB");
    EXPECT_EQ(CopySectionToJob(state, ui, "J", "A"), OpStatus::Refused);
    EXPECT_EQ(ui.boxes.back().title, "Inserting a Section");
    EXPECT_EQ(CopySectionToJob(state, ui, "GONE", "A"), OpStatus::Failed);
    EXPECT_EQ(ui.boxes.back().title, "File Error");
    EXPECT_EQ(ui.boxes.back().text, "Cannot copy to this job file.");
    EXPECT_EQ(state.JobName, "J");
    EXPECT_EQ(dir.Read("J.JOB"), before);
    EXPECT_FALSE(dir.Exists("GONE.JOB"));
}

TEST_F(JobOps, CopyCarriesTheNoteAndReopensTheSource) {
    dir.Write("SRC.NTS", NotesFile({{"A", "first"}, {"B", "line 1\r\nline 2"}}));
    MakeJob("DST", {"M"});
    dir.Write("DST.NTS", NotesFile({{"M", "middle"}}));
    OpenNew("SRC", {"A", "B"});
    SelectSection(state, ui, 2);
    EXPECT_EQ(CopySectionToJob(state, ui, "DST", "Z9"), OpStatus::Done);
    EXPECT_EQ(state.CurrentSection, 2);
    EXPECT_EQ(dir.Read("DST.NTS"), NotesFile({{"M", "middle"}, {"Z9", "line 1\r\nline 2"}}));
    EXPECT_EQ(NamesOf(Reread("DST").Sections), (std::vector<std::string>{"M", "Z9"}));
}

TEST_F(JobOps, DuplicateOrCopyIntoAFullJobIsRefusedAndIntoNinetyNineDone) {
    std::vector<std::string> names;
    for (int i = 0; i < 99; ++i) names.push_back("S" + std::to_string(100 + i));
    MakeJob("ALMOST", names);
    names.push_back("S199");
    MakeJob("SRC", {"NEW"});
    OpenNew("FULL", names);
    const std::string full = dir.Read("FULL.JOB");
    const std::string fullText =
        "The maximum number of sections in a job is  100\r\n\r\n"
        "Delete an old section or create a new job.\r\n\r\nNo action will be taken now.";
    EXPECT_EQ(DuplicateSection(state, ui, "NEW"), OpStatus::Refused);
    EXPECT_EQ(ui.boxes.back().text, fullText);
    ASSERT_TRUE(OpenJob(state, ui, "SRC"));
    EXPECT_EQ(CopySectionToJob(state, ui, "FULL", "NEW"), OpStatus::Refused);
    EXPECT_EQ(ui.boxes.back().text, fullText);
    EXPECT_EQ(dir.Read("FULL.JOB"), full);
    EXPECT_EQ(CopySectionToJob(state, ui, "ALMOST", "NEW"), OpStatus::Done);
    EXPECT_EQ(Reread("ALMOST").SectionCount(), 100);
}

// The job file turns into a directory after it was opened: the table must be undone.
TEST_F(JobOps, AFailedSaveUndoesTheDuplicateAndTheDelete) {
    OpenNew("J", {"A", "B"});
    SelectSection(state, ui, 2);
    std::filesystem::remove(dir.path() + "J.JOB");
    std::filesystem::create_directory(dir.path() + "J.JOB");
    EXPECT_EQ(DuplicateSection(state, ui, "C"), OpStatus::Failed);
    EXPECT_EQ(NamesOf(state.Sections), (std::vector<std::string>{"A", "B"}));
    ui.Answer(Answer::Yes);
    EXPECT_EQ(DeleteSection(state, ui), OpStatus::Failed);
    EXPECT_EQ(NamesOf(state.Sections), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(state.CurrentSection, 2);
}

TEST(NameRules, TheFirstKeyReplacesTheDefaultAndOnlyNameCharactersFitUpToTheLength) {
    NameEntry entry("RUNWAY", 12);
    EXPECT_TRUE(entry.Key('\b'));
    EXPECT_EQ(entry.text(), "RUNWA");
    EXPECT_TRUE(entry.Key('x'));
    EXPECT_EQ(entry.text(), "x");
    EXPECT_FALSE(entry.Key(' ')) << "refused with a beep";
    for (char c : std::string("12345678901")) entry.Key(c);
    EXPECT_EQ(entry.text(), "x12345678901");
    EXPECT_FALSE(entry.Key('Z'));
    // CheckName gives reasons for the names it refuses.
    EXPECT_FALSE(CheckName("RWY-1_a", NameMode::NewJob));
    EXPECT_TRUE(CheckName("ABCDEFGHI", NameMode::NewJob));
    EXPECT_FALSE(CheckName("ABCDEFGHIJKL", NameMode::NewSection));
    EXPECT_TRUE(CheckName("ABCDEFGHIJKLM", NameMode::CopySection));
    EXPECT_TRUE(CheckName("", NameMode::NewSection));
    EXPECT_TRUE(CheckName("a/b", NameMode::NewSection));
}

// The dialog texts name the job and section.
TEST(NameRules, DialogTextsNameTheJobAndSection) {
    ProgramState state;
    state.JobName = "RWY";
    state.Current.SectionName = "NORTH";
    const NameDialogSpec spec = NameDialogFor(state, NameMode::NewSection);
    EXPECT_EQ(spec.defaultText, "NORTH");
    EXPECT_EQ(spec.maxLength, 12);
    EXPECT_NE(spec.instruction.find("\r\n   RWY NORTH.\r\n"), std::string::npos);
    EXPECT_EQ(NameDialogFor(state, NameMode::NewJob).maxLength, 8);
}

}  // namespace
}  // namespace tavro::core
