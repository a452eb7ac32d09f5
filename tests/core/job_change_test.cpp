// Saves of a job another program changes meanwhile, and jobs opened read-only.
#include "core/job_change.h"

#include <gtest/gtest.h>

#include "core/job_file.h"
#include "core/job_ops.h"
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
using test::TempDir;

// Two programs (states) on one directory.
class TwoPrograms : public ::testing::Test {
protected:
    // Leaves the boxes shown while the job opened.
    void Open(ProgramState& state, const std::string& job) {
        ui.answerDefaults = true;
        StartProgram(state, ui, dir.path(), true);
        ui.boxes.clear();
        ASSERT_TRUE(OpenJob(state, ui, job));
    }
    void OpenBoth(const std::vector<std::string>& sections) {
        dir.Write("J.JOB", test::SampleJobFile(sections));
        Open(first, "J");
        Open(second, "J");
    }
    void Select(ProgramState& state, const std::string& name) {
        for (int i = 1; i <= state.SectionCount(); ++i)
            if (state.Slot(i).SectionName == name) SelectSection(state, ui, i);
    }
    std::vector<std::string> Names(const std::string& job) {
        return NamesOf(ParseJob(dir.Read(job + ".JOB"), job).sections);
    }

    TempDir dir;
    FakeUserPort ui;
    ProgramState first, second;
};

TEST_F(TwoPrograms, ASaveKeepsWhatTheOtherProgramSavedMeanwhile) {
    dir.Write("J.NTS", test::NotesFile({{"A", "note a"}, {"B", "note b"}}));
    OpenBoth({"A", "B"});
    Select(second, "A");
    ASSERT_EQ(DuplicateSection(second, ui, "A2"), OpStatus::Done);
    // The first program still holds the job as it read it: A and B. It changes B.
    Select(first, "B");
    first.Current.DesignLife = 25;
    StoreSection(first);
    ASSERT_TRUE(WriteJob(first, ui));
    EXPECT_EQ(Names("J"), (std::vector<std::string>{"A", "A2", "B"}));
    EXPECT_EQ(ParseJob(dir.Read("J.JOB"), "J").sections[2].DesignLife, 25);
    EXPECT_EQ(dir.Read("J.NTS"),
              test::NotesFile({{"A", "note a"}, {"A2", "No notes."}, {"B", "note b"}}));
    EXPECT_EQ(first.CurrentSection, 3) << "the table is reread, still on B";
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(TwoPrograms, ConflictingChangesAreRefusedAndLoseNothing) {
    OpenBoth({"A", "B"});
    // Both add a section of the same name: the second to save is told it exists.
    Select(first, "A");
    Select(second, "A");
    ASSERT_EQ(DuplicateSection(first, ui, "N"), OpStatus::Done);
    const std::string afterFirst = dir.Read("J.JOB");
    EXPECT_EQ(DuplicateSection(second, ui, "n"), OpStatus::Failed);
    EXPECT_TRUE(ui.OnlyBox("Inserting a Section",
                           "Section n already exists.\r\n\r\nNo action will be taken."));
    EXPECT_EQ(dir.Read("J.JOB"), afterFirst);
    // A section changed here that the other program deleted is not brought back silently.
    Open(second, "J");
    Select(second, "B");
    ui.Answer(Answer::Yes);
    ASSERT_EQ(DeleteSection(second, ui), OpStatus::Done);
    Select(first, "B");
    first.Current.DesignLife = 30;
    StoreSection(first);
    ui.boxes.clear();
    EXPECT_FALSE(WriteJob(first, ui));
    ASSERT_EQ(ui.Titles(), std::vector<std::string>{"Saving a Job"});
    EXPECT_EQ(ui.boxes[0].text,
              "Section B is no longer in job J:\r\nanother program deleted it while it was open "
              "here.\r\n\r\nNothing has been saved.");
    EXPECT_EQ(Names("J"), (std::vector<std::string>{"A", "N"}));
}

TEST_F(TwoPrograms, AJobDeletedElsewhereIsNotRecreatedByASave) {
    OpenBoth({"A", "B"});
    ui.Answer(Answer::Yes);
    ASSERT_EQ(DeleteJob(second, ui), OpStatus::Done);
    ui.boxes.clear();
    Select(first, "A");
    EXPECT_EQ(DuplicateSection(first, ui, "N"), OpStatus::Failed);
    EXPECT_EQ(ui.Titles(), std::vector<std::string>{"Saving a Job"});
    EXPECT_FALSE(dir.Exists("J.JOB"));
    EXPECT_EQ(NamesOf(first.Sections), (std::vector<std::string>{"A", "B"}));
}

// ---- Jobs opened read-only ------------------------------------------------------------

struct ReadOnlyCase {
    const char* what;
    std::string file;
    std::string reasonStart;
    std::size_t sectionsRead;
    std::string shownOnOpen;
};

std::vector<ReadOnlyCase> ReadOnlyCases() {
    std::vector<std::string> names;
    for (int i = 0; i < 101; ++i) names.push_back("S" + std::to_string(1000 + i));
    Section crowded = test::SampleSection("A");
    crowded.Aircraft.resize(23, crowded.Aircraft[0]);
    std::string cut = FormatJob({test::SampleSection("A"), test::SampleSection("B")});
    // The last growth, 0.000000, cut to "0.0": it would still read as a number.
    cut.resize(cut.rfind("0.000000") + 3);
    return {
        {"101 sections", test::SampleJobFile(names), "its file holds more than 100 sections", 100,
         "Too Many Sections"},
        {"23 aircraft", FormatJob({crowded, test::SampleSection("B")}),
         "section A holds more than 20 aircraft", 2, "Too Many Aircraft"},
        {"cut file", cut, "its file ends inside line", 1,
         "The problem was found in line 23: the file ends inside this line (\" Stationair 206"
         "         ...\" has no line end), so the section in it is incomplete."},
    };
}

// The second program copies into the read-only job.
TEST_F(TwoPrograms, AReadOnlyJobRefusesEveryChangeAndCopyingOutKeepsWhatWasRead) {
    ProgramState& state = first;
    for (const ReadOnlyCase& c : ReadOnlyCases()) {
        SCOPED_TRACE(c.what);
        dir.Write("J.JOB", c.file);
        dir.Write("NEW.JOB", "Format3\r\n");
        Open(state, "J");
        ASSERT_FALSE(ui.boxes.empty()) << "the loss is reported when the job opens";
        EXPECT_NE((ui.boxes[0].title + ui.boxes[0].text).find(c.shownOnOpen), std::string::npos)
            << ui.boxes[0].text;
        ASSERT_EQ(state.ReadOnlyReason.rfind(c.reasonStart, 0), 0u) << state.ReadOnlyReason;
        EXPECT_EQ(state.Sections.size(), c.sectionsRead) << "a cut section is not read";

        auto refusedWith = [&](const char* title) {
            EXPECT_EQ(ui.Titles(), std::vector<std::string>{title});
            EXPECT_NE(
                ui.boxes.back().text.find("Job J was opened read-only:\r\n" + state.ReadOnlyReason +
                                          "\r\n\r\nNo change can be saved to it. Copying its "
                                          "sections\r\ninto a new job keeps what could be read."),
                std::string::npos)
                << ui.boxes.back().text;
            ui.boxes.clear();
        };
        ui.boxes.clear();
        EXPECT_EQ(DuplicateSection(state, ui, "NEW"), OpStatus::Refused);
        refusedWith("Duplicating a Section");
        EXPECT_EQ(DeleteSection(state, ui), OpStatus::Refused);
        refusedWith("Deleting a Section");
        EXPECT_FALSE(UpdateNotes(state, ui, "x", NotesMode::Replace));
        refusedWith("Saving Notes");
        state.Current.DesignLife = 7;
        StoreSection(state);
        EXPECT_FALSE(WriteJob(state, ui));
        refusedWith("Saving a Job");
        EXPECT_EQ(dir.Read("J.JOB"), c.file);
        EXPECT_FALSE(dir.Exists("J.NTS"));

        // Copying into it is refused too; copying out of it works.
        Open(second, "Samples");
        EXPECT_EQ(CopySectionToJob(second, ui, "J", "COPY"), OpStatus::Refused);
        EXPECT_EQ(ui.Titles().back(), "Copying a Section");
        Open(state, "J");
        ui.boxes.clear();
        EXPECT_EQ(CopySectionToJob(state, ui, "NEW", "A"), OpStatus::Done);
        EXPECT_EQ(ParseJob(dir.Read("NEW.JOB"), "NEW").sections.size(), 1u);
        EXPECT_EQ(dir.Read("J.JOB"), c.file);
    }
}

TEST_F(TwoPrograms, SectionNamesStayUniqueInAJobOutOfNameOrder) {
    dir.Write("UNSORT.JOB", test::SampleJobFile({"ZULU", "ALPHA"}));
    Open(first, "UNSORT");
    SelectSection(first, ui, 1);
    EXPECT_EQ(DuplicateSection(first, ui, "alpha"), OpStatus::Refused);
    EXPECT_EQ(dir.Read("UNSORT.JOB"), test::SampleJobFile({"ZULU", "ALPHA"}));
}

TEST_F(TwoPrograms, TheNotesOfSamplesFollowItsSectionsInMemory) {
    Open(first, "Samples");
    SelectSection(first, ui, 3);
    ASSERT_TRUE(UpdateNotes(first, ui, "kept here", NotesMode::Replace));
    const std::string saved = dir.Read("Samples.NTS");
    SelectSection(first, ui, 1);
    ui.Answer(Answer::Yes);
    ASSERT_EQ(DeleteSection(first, ui), OpStatus::Done);  // in memory only
    ui.boxes.clear();
    SelectSection(first, ui, 2);
    ReadNotes(first, ui);
    EXPECT_EQ(first.NotesText, "kept here");
    SelectSection(first, ui, 1);
    ReadNotes(first, ui);
    EXPECT_EQ(first.NotesText, "AConFlex");
    EXPECT_TRUE(ui.boxes.empty()) << ui.boxes[0].title;
    EXPECT_EQ(dir.Read("Samples.NTS"), saved);
}

// A crash between the renames of the job and the notes file: every entry keeps its note.
TEST_F(TwoPrograms, ANotesFileBehindItsJobKeepsEveryNoteByName) {
    dir.Write("J.JOB", test::SampleJobFile({"A", "AB", "B", "C"}));
    dir.Write("J.NTS", test::NotesFile({{"A", "note a"}, {"B", "note b"}, {"C", "note c"}}));
    Open(first, "J");
    SelectSection(first, ui, 4);
    ReadNotes(first, ui);
    EXPECT_EQ(ui.Titles(), std::vector<std::string>{"Notes File Error"});
    EXPECT_EQ(dir.Read("J.NTS"),
              test::NotesFile({{"A", "note a"}, {"AB", "AB"}, {"B", "note b"}, {"C", "note c"}}));
    EXPECT_EQ(dir.Read("NOTESBAD.NTS"),
              test::NotesFile({{"A", "note a"}, {"B", "note b"}, {"C", "note c"}}));
}

}  // namespace
}  // namespace tavro::core
