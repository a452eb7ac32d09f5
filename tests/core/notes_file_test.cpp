#include "core/notes_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "core/program_state.h"
#include "support/fake_user_port.h"
#include "support/job_builder.h"
#include "support/temp_dir.h"

namespace tavro::core {
namespace {

using test::FakeUserPort;
using test::TempDir;

ProgramState Job(const TempDir& dir, std::initializer_list<const char*> names, int current) {
    return test::StateWithSections(dir.path(), "RWY", names, current);
}

// Sections A, B and C with the notes "a", "note b" and "c".
const std::string kAbc = "A\r\n1\r\na\r\nB\r\n6\r\nnote b\r\nC\r\n1\r\nc\r\n";

const std::string kCorruptedText =
    "File RWY.NTS is corrupted.\r\n"
    "\r\n"
    "The corrupted file has been stored in NOTESBAD.NTS,\r\n"
    "and as much of the corrupted file as possible\r\n"
    "retained in RWY.NTS.\r\n"
    "Try to fix the file in a text editor immediately.";

TEST(NotesFile, MissingFileIsCreatedSilentlyWithTheNamesAsNotes) {
    TempDir dir;
    ProgramState state = Job(dir, {"RWY 1", "TWY"}, 2);
    FakeUserPort ui;
    ReadNotes(state, ui);
    EXPECT_EQ(dir.Read("RWY.NTS"), "RWY 1\r\n5\r\nRWY 1\r\nTWY\r\n3\r\nTWY\r\n");
    EXPECT_EQ(state.NotesText, "TWY");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(NotesFile, EmptyFileIsRecreatedSilently) {
    TempDir dir;
    dir.Write("RWY.NTS", "");
    ProgramState state = Job(dir, {"A"}, 1);
    FakeUserPort ui;
    EXPECT_TRUE(UpdateNotes(state, ui, "x", NotesMode::Remove));
    EXPECT_EQ(dir.Read("RWY.NTS"), "A\r\n1\r\nA\r\n");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(NotesFile, MissingFileStillKeepsTheNoteBeingSaved) {
    TempDir dir;
    ProgramState state = Job(dir, {"A", "COPY"}, 2);
    FakeUserPort ui;
    EXPECT_TRUE(UpdateNotes(state, ui, "copied", NotesMode::Insert));
    EXPECT_EQ(dir.Read("RWY.NTS"), "A\r\n1\r\nA\r\nCOPY\r\n6\r\ncopied\r\n");
}

TEST(NotesFile, JobWithoutSectionsHasAnEmptyNotesFile) {
    TempDir dir;
    dir.Write("RWY.NTS", "A\r\n1\r\na\r\n");
    ProgramState state = Job(dir, {}, 0);
    FakeUserPort ui;
    EXPECT_TRUE(UpdateNotes(state, ui, kOldLastSect, NotesMode::Remove));
    EXPECT_TRUE(dir.Exists("RWY.NTS"));
    EXPECT_EQ(dir.Read("RWY.NTS"), "");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(NotesFile, NoteWithALineBreakIsCountedInBytesAndReadsBack) {
    TempDir dir;
    ProgramState state = Job(dir, {"A", "B"}, 1);
    FakeUserPort ui;
    ReadNotes(state, ui);
    ASSERT_TRUE(UpdateNotes(state, ui, "A\r\nB", NotesMode::Replace));
    EXPECT_EQ(dir.Read("RWY.NTS"), "A\r\n4\r\nA\r\nB\r\nB\r\n1\r\nB\r\n");
    state.NotesText.clear();
    ReadNotes(state, ui);
    EXPECT_EQ(state.NotesText, "A\r\nB");
    state.CurrentSection = 2;
    ReadNotes(state, ui);
    EXPECT_EQ(state.NotesText, "B");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(NotesFile, EntriesWithLfLineEndsAreRead) {
    TempDir dir;
    dir.Write("RWY.NTS", "A\n2\nx\n\nB\n3\nyyy\n");
    ProgramState state = Job(dir, {"A", "B"}, 2);
    FakeUserPort ui;
    ReadNotes(state, ui);
    EXPECT_EQ(state.NotesText, "yyy");
    state.CurrentSection = 1;
    ReadNotes(state, ui);
    EXPECT_EQ(state.NotesText, "x\n");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(NotesFile, InsertingAtSlotTwoPutsTheNewEntryBetweenTheFirstAndTheOldSecond) {
    TempDir dir;
    dir.Write("RWY.NTS", kAbc);
    ProgramState state = Job(dir, {"A", "N", "B", "C"}, 2);
    FakeUserPort ui;
    EXPECT_TRUE(UpdateNotes(state, ui, kNoNotes, NotesMode::Insert));
    EXPECT_EQ(dir.Read("RWY.NTS"),
              "A\r\n1\r\na\r\nN\r\n9\r\nNo notes.\r\nB\r\n6\r\nnote b\r\nC\r\n1\r\nc\r\n");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(NotesFile, RemovingSectionsDropsTheirEntriesAndKeepsTheOrder) {
    struct Case {
        std::initializer_list<const char*> left;
        int current;
        std::string_view text;
        std::string expected;
    };
    const Case cases[] = {
        {{"A", "B"}, 2, kOldLastSect, "A\r\n1\r\na\r\nB\r\n6\r\nnote b\r\n"},
        {{"A", "C"}, 2, kNotOldLastSect, "A\r\n1\r\na\r\nC\r\n1\r\nc\r\n"},
        {{"B", "C"}, 1, kNotOldLastSect, "B\r\n6\r\nnote b\r\nC\r\n1\r\nc\r\n"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        dir.Write("RWY.NTS", kAbc);
        ProgramState state = Job(dir, c.left, c.current);
        FakeUserPort ui;
        EXPECT_TRUE(UpdateNotes(state, ui, c.text, NotesMode::Remove));
        EXPECT_EQ(dir.Read("RWY.NTS"), c.expected);
        EXPECT_TRUE(ui.boxes.empty());
    }
}

TEST(NotesFile, RenamedEntryIsReportedSetAsideAndReplacedByAConsistentFile) {
    TempDir dir;
    std::string damaged = kAbc;
    damaged.replace(damaged.find("B\r\n"), 1, "X");
    dir.Write("RWY.NTS", damaged);
    ProgramState state = Job(dir, {"A", "B", "C"}, 3);
    FakeUserPort ui;
    EXPECT_TRUE(UpdateNotes(state, ui, "new", NotesMode::Replace));
    ASSERT_TRUE(ui.OnlyBox("Notes File Error", kCorruptedText));
    EXPECT_EQ(ui.boxes[0].buttons, Buttons::Ok);
    EXPECT_EQ(dir.Read("NOTESBAD.NTS"), damaged);
    // Entries follow their sections by name: only B, whose entry is gone, loses its note.
    EXPECT_EQ(dir.Read("RWY.NTS"), "A\r\n1\r\na\r\nB\r\n1\r\nB\r\nC\r\n3\r\nnew\r\n");
}

TEST(NotesFile, ReplacedNoteBeforeTheDamageIsStillSaved) {
    TempDir dir;
    std::string damaged = kAbc;
    damaged.replace(damaged.find("C\r\n"), 1, "Q");
    dir.Write("RWY.NTS", damaged);
    ProgramState state = Job(dir, {"A", "B", "C"}, 1);
    FakeUserPort ui;
    EXPECT_TRUE(UpdateNotes(state, ui, "new", NotesMode::Replace));
    EXPECT_EQ(ui.Titles(), std::vector<std::string>{"Notes File Error"});
    EXPECT_EQ(dir.Read("RWY.NTS"), "A\r\n3\r\nnew\r\nB\r\n6\r\nnote b\r\nC\r\n1\r\nC\r\n");
}

TEST(NotesFile, ReadingADamagedFileReportsRepairsAndGivesTheSectionName) {
    for (int current : {2, 3}) {  // damage before, and at, the current slot
        TempDir dir;
        std::string damaged = kAbc;
        damaged.replace(damaged.find("B\r\n"), 1, "b");
        dir.Write("RWY.NTS", damaged);
        ProgramState state = Job(dir, {"A", "B", "C"}, current);
        FakeUserPort ui;
        ReadNotes(state, ui);
        EXPECT_EQ(ui.Titles(), std::vector<std::string>{"Notes File Error"});
        EXPECT_EQ(state.NotesText, current == 2 ? "B" : "c");
        EXPECT_EQ(dir.Read("NOTESBAD.NTS"), damaged);
        EXPECT_EQ(dir.Read("RWY.NTS"), "A\r\n1\r\na\r\nB\r\n1\r\nB\r\nC\r\n1\r\nc\r\n");
    }
}

TEST(NotesFile, DamageAfterTheCurrentSlotIsRepairedKeepingTheNotesBeforeIt) {
    TempDir dir;
    std::string damaged = kAbc;
    damaged.replace(damaged.find("C\r\n"), 1, "Q");
    dir.Write("RWY.NTS", damaged);
    ProgramState state = Job(dir, {"A", "B", "C"}, 2);
    FakeUserPort ui;
    ReadNotes(state, ui);
    EXPECT_EQ(state.NotesText, "note b");
    EXPECT_EQ(ui.Titles(), std::vector<std::string>{"Notes File Error"});
    EXPECT_EQ(dir.Read("RWY.NTS"), "A\r\n1\r\na\r\nB\r\n6\r\nnote b\r\nC\r\n1\r\nC\r\n");
}

TEST(NotesFile, GarbageCountsAndMissingEntriesAreDamageNotCrashes) {
    const std::string repairedFromB = "A\r\n1\r\na\r\nB\r\n1\r\nB\r\nC\r\n1\r\nC\r\n";
    const std::pair<std::string, std::string> cases[] = {
        {"A\r\n1\r\na\r\nB\r\nx\r\nnote b\r\nC\r\n1\r\nc\r\n", repairedFromB},
        {"A\r\n1\r\na\r\nB\r\n-5\r\nnote b\r\nC\r\n1\r\nc\r\n", repairedFromB},
        {"A\r\n1\r\na\r\nB\r\n999999\r\nnote b\r\nC\r\n1\r\nc\r\n", repairedFromB},
        {"A\r\n1\r\na\r\nB\r\n99999999999999999999999\r\nnote b\r\n", repairedFromB},
        {"A\r\n1\r\na\r\nB\r\n\r\nnote b\r\nC\r\n1\r\nc\r\n", repairedFromB},
        {"A\r\n1\r\na\r\nB\r\n", repairedFromB},
        {"A\r\n1\r\na\r\n", repairedFromB},
        // A count too large by the size of the next entry swallows it: C goes missing.
        {"A\r\n1\r\na\r\nB\r\n15\r\nnote b\r\nC\r\n1\r\nc\r\n",
         "A\r\n1\r\na\r\nB\r\n15\r\nnote b\r\nC\r\n1\r\nc\r\nC\r\n1\r\nC\r\n"},
    };
    for (const auto& [damaged, repaired] : cases) {
        TempDir dir;
        dir.Write("RWY.NTS", damaged);
        ProgramState state = Job(dir, {"A", "B", "C"}, 3);
        FakeUserPort ui;
        ReadNotes(state, ui);
        EXPECT_EQ(ui.Titles(), std::vector<std::string>{"Notes File Error"}) << damaged;
        EXPECT_EQ(state.NotesText, "C");
        EXPECT_EQ(dir.Read("NOTESBAD.NTS"), damaged);
        EXPECT_EQ(dir.Read("RWY.NTS"), repaired);
    }
}

TEST(NotesFile, EntryOfTheDeletedSectionMustBeThereToBeSkipped) {
    TempDir dir;
    dir.Write("RWY.NTS", "A\r\n1\r\na\r\n");
    ProgramState state = Job(dir, {"A"}, 1);
    FakeUserPort ui;
    EXPECT_TRUE(UpdateNotes(state, ui, kNotOldLastSect, NotesMode::Remove));
    EXPECT_EQ(ui.Titles(), std::vector<std::string>{"Notes File Error"});
    EXPECT_EQ(dir.Read("RWY.NTS"), "A\r\n1\r\na\r\n");
}

TEST(NotesFile, MissingProgramDirectoryIsReportedAndTheNoteKeptInMemory) {
    TempDir dir;
    ProgramState state = Job(dir, {"A"}, 1);
    state.ProgramDir = dir.path() + "gone/";
    FakeUserPort ui;
    ReadNotes(state, ui);
    // The save lock of the directory is the first file a change needs.
    EXPECT_TRUE(ui.OnlyBox("File Error",
                           "The path for " + dir.path() + "gone/tavro-save.lock doesn't exist."));
    EXPECT_EQ(state.NotesText, "A");
    EXPECT_FALSE(UpdateNotes(state, ui, "edited", NotesMode::Replace));
}

TEST(NotesFile, UnreadableNotesFileIsReportedAndLeftAlone) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("RWY.NTS"));
    ProgramState state = Job(dir, {"A"}, 1);
    FakeUserPort ui;
    EXPECT_FALSE(UpdateNotes(state, ui, "edited", NotesMode::Replace));
    EXPECT_TRUE(ui.OnlyBox(nullptr, "Can't open " + dir.File("RWY.NTS") +
                                        " for that type of access.\r\n\r\nIt is a directory."));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("RWY.NTS")));
}

TEST(NotesFile, ARepairNeverReplacesTheCopyOfAnEarlierOne) {
    TempDir dir;
    dir.Write("NOTESBAD.NTS", "earlier");
    dir.Write("NOTESBAD-2.NTS", "earlier still");
    std::string damaged = kAbc;
    damaged.replace(damaged.find("B\r\n"), 1, "X");
    dir.Write("RWY.NTS", damaged);
    ProgramState state = Job(dir, {"A", "B", "C"}, 1);
    FakeUserPort ui;
    EXPECT_TRUE(UpdateNotes(state, ui, "new", NotesMode::Replace));
    std::string text = kCorruptedText;
    text.replace(text.find("NOTESBAD.NTS"), 12, "NOTESBAD-3.NTS");
    EXPECT_TRUE(ui.OnlyBox("Notes File Error", text));
    EXPECT_EQ(dir.Read("NOTESBAD.NTS"), "earlier");
    EXPECT_EQ(dir.Read("NOTESBAD-2.NTS"), "earlier still");
    EXPECT_EQ(dir.Read("NOTESBAD-3.NTS"), damaged);
    EXPECT_EQ(dir.Read("RWY.NTS"), "A\r\n3\r\nnew\r\nB\r\n1\r\nB\r\nC\r\n1\r\nc\r\n");
}

}  // namespace
}  // namespace tavro::core
