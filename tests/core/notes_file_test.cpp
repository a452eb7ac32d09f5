#include "core/notes_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <tuple>
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

class OneNotesFile : public ::testing::Test {
protected:
    TempDir dir;
    FakeUserPort ui;
};

// Sections A, B and C with the notes "a", "note b" and "c".
const std::string kAbc = "A\r\n1\r\na\r\nB\r\n6\r\nnote b\r\nC\r\n1\r\nc\r\n";

const std::string kCorruptedText =
    "File RWY.NTS is corrupted.\r\n\r\n"
    "The corrupted file has been stored in NOTESBAD.NTS,\r\n"
    "and as much of the corrupted file as possible\r\n"
    "retained in RWY.NTS.\r\n"
    "Try to fix the file in a text editor immediately.";

TEST_F(OneNotesFile, MissingFileIsCreatedSilentlyAndANoteWithALineBreakIsCountedInBytes) {
    ProgramState state = Job(dir, {"RWY 1", "TWY"}, 2);
    ReadNotes(state, ui);
    EXPECT_EQ(dir.Read("RWY.NTS"), "RWY 1\r\n5\r\nRWY 1\r\nTWY\r\n3\r\nTWY\r\n");
    EXPECT_EQ(state.NotesText, "TWY");
    state.CurrentSection = 1;
    ASSERT_TRUE(UpdateNotes(state, ui, "A\r\nB", NotesMode::Replace));
    EXPECT_EQ(dir.Read("RWY.NTS"), "RWY 1\r\n4\r\nA\r\nB\r\nTWY\r\n3\r\nTWY\r\n");
    state.NotesText.clear();
    ReadNotes(state, ui);
    EXPECT_EQ(state.NotesText, "A\r\nB");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(OneNotesFile, EntriesWithLfLineEndsAreRead) {
    dir.Write("RWY.NTS", "A\n2\nx\n\nB\n3\nyyy\n");
    ProgramState state = Job(dir, {"A", "B"}, 2);
    ReadNotes(state, ui);
    EXPECT_EQ(state.NotesText, "yyy");
    state.CurrentSection = 1;
    ReadNotes(state, ui);
    EXPECT_EQ(state.NotesText, "x\n");
    EXPECT_TRUE(ui.boxes.empty());
}

// Updates of a missing, empty or sound file, silently; other removals: the cli and windows.
TEST(NotesFile, UpdatesInsertAndRemoveEntriesInSectionOrder) {
    struct Case {
        std::optional<std::string> before;
        std::initializer_list<const char*> names;
        int current;
        std::string_view text;
        NotesMode mode;
        std::string expected;
    };
    using enum NotesMode;
    const Case cases[] = {
        {"", {"A"}, 1, "x", Remove, "A\r\n1\r\nA\r\n"},
        {std::nullopt, {"A", "COPY"}, 2, "new", Insert, "A\r\n1\r\nA\r\nCOPY\r\n3\r\nnew\r\n"},
        {"A\r\n1\r\na\r\n", {}, 0, kOldLastSect, Remove, ""},
        {kAbc,
         {"A", "N", "B", "C"},
         2,
         kNoNotes,
         Insert,
         "A\r\n1\r\na\r\nN\r\n9\r\nNo notes.\r\nB\r\n6\r\nnote b\r\nC\r\n1\r\nc\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        TempDir dir;
        if (c.before) dir.Write("RWY.NTS", *c.before);
        ProgramState state = Job(dir, c.names, c.current);
        FakeUserPort ui;
        EXPECT_TRUE(UpdateNotes(state, ui, c.text, c.mode));
        EXPECT_EQ(dir.Read("RWY.NTS"), c.expected);
        EXPECT_TRUE(ui.boxes.empty());
    }
}

// Only B, whose entry is gone, loses its note; earlier set-aside copies are kept.
TEST(NotesFile, RenamedEntryIsReportedSetAsideAndReplacedByAConsistentFile) {
    for (bool earlierCopies : {false, true}) {
        SCOPED_TRACE(earlierCopies);
        TempDir dir;
        if (earlierCopies) {
            dir.Write("NOTESBAD.NTS", "earlier");
            dir.Write("NOTESBAD-2.NTS", "earlier still");
        }
        std::string damaged = kAbc;
        damaged.replace(damaged.find("B\r\n"), 1, "X");
        dir.Write("RWY.NTS", damaged);
        ProgramState state = Job(dir, {"A", "B", "C"}, 3);
        FakeUserPort ui;
        EXPECT_TRUE(UpdateNotes(state, ui, "new", NotesMode::Replace));
        std::string text = kCorruptedText;
        const std::string copy = earlierCopies ? "NOTESBAD-3.NTS" : "NOTESBAD.NTS";
        text.replace(text.find("NOTESBAD.NTS"), 12, copy);
        ASSERT_TRUE(ui.OnlyBox("Notes File Error", text));
        EXPECT_EQ(ui.boxes[0].buttons, Buttons::Ok);
        EXPECT_EQ(dir.Read(copy), damaged);
        if (earlierCopies) {
            EXPECT_EQ(dir.Read("NOTESBAD.NTS"), "earlier");
            EXPECT_EQ(dir.Read("NOTESBAD-2.NTS"), "earlier still");
        }
        EXPECT_EQ(dir.Read("RWY.NTS"), "A\r\n1\r\na\r\nB\r\n1\r\nB\r\nC\r\n3\r\nnew\r\n");
    }
}

// Entries up to the damage keep their notes, the rest get their names; garbage counts too.
TEST(NotesFile, DamagedFilesAreReportedSetAsideAndRepaired) {
    const std::string repairedFromB = "A\r\n1\r\na\r\nB\r\n1\r\nB\r\nC\r\n1\r\nC\r\n";
    const std::string badC = "A\r\n1\r\na\r\nB\r\n6\r\nnote b\r\nQ\r\n1\r\nc\r\n";
    const std::string badB = "A\r\n1\r\na\r\nb\r\n6\r\nnote b\r\nC\r\n1\r\nc\r\n";
    // The damaged file, the current slot, the note saved (nullptr: a read), the note read and
    // the repaired file.
    const std::tuple<std::string, int, const char*, std::string, std::string> cases[] = {
        // A note replaced before the damage is still saved.
        {badC, 1, "new", "", "A\r\n3\r\nnew\r\nB\r\n6\r\nnote b\r\nC\r\n1\r\nC\r\n"},
        // Damage after the current slot keeps the notes before it.
        {badC, 2, nullptr, "note b", "A\r\n1\r\na\r\nB\r\n6\r\nnote b\r\nC\r\n1\r\nC\r\n"},
        // Damage at, and before, the current slot.
        {badB, 2, nullptr, "B", "A\r\n1\r\na\r\nB\r\n1\r\nB\r\nC\r\n1\r\nc\r\n"},
        {badB, 3, nullptr, "c", "A\r\n1\r\na\r\nB\r\n1\r\nB\r\nC\r\n1\r\nc\r\n"},
        {"A\r\n1\r\na\r\nB\r\nx\r\nnote b\r\nC\r\n1\r\nc\r\n", 3, nullptr, "C", repairedFromB},
        {"A\r\n1\r\na\r\nB\r\n-5\r\nnote b\r\nC\r\n1\r\nc\r\n", 3, nullptr, "C", repairedFromB},
        {"A\r\n1\r\na\r\nB\r\n99999999999999999999999\r\nnote b\r\n", 3, nullptr, "C",
         repairedFromB},
        {"A\r\n1\r\na\r\nB\r\n", 3, nullptr, "C", repairedFromB},
        {"A\r\n1\r\na\r\n", 3, nullptr, "C", repairedFromB},
        // A count too large by the size of the next entry swallows it: C goes missing.
        {"A\r\n1\r\na\r\nB\r\n15\r\nnote b\r\nC\r\n1\r\nc\r\n", 3, nullptr, "C",
         "A\r\n1\r\na\r\nB\r\n15\r\nnote b\r\nC\r\n1\r\nc\r\nC\r\n1\r\nC\r\n"},
    };
    for (const auto& [damaged, current, replacement, notes, repaired] : cases) {
        SCOPED_TRACE(damaged + " at " + std::to_string(current));
        TempDir dir;
        dir.Write("RWY.NTS", damaged);
        ProgramState state = Job(dir, {"A", "B", "C"}, current);
        FakeUserPort ui;
        if (replacement) {
            EXPECT_TRUE(UpdateNotes(state, ui, replacement, NotesMode::Replace));
        } else {
            ReadNotes(state, ui);
            EXPECT_EQ(state.NotesText, notes);
        }
        EXPECT_EQ(ui.Titles(), std::vector<std::string>{"Notes File Error"});
        EXPECT_EQ(dir.Read("NOTESBAD.NTS"), damaged);
        EXPECT_EQ(dir.Read("RWY.NTS"), repaired);
    }
}

TEST_F(OneNotesFile, EntryOfTheDeletedSectionMustBeThereToBeSkipped) {
    dir.Write("RWY.NTS", "A\r\n1\r\na\r\n");
    ProgramState state = Job(dir, {"A"}, 1);
    EXPECT_TRUE(UpdateNotes(state, ui, kNotOldLastSect, NotesMode::Remove));
    EXPECT_EQ(ui.Titles(), std::vector<std::string>{"Notes File Error"});
    EXPECT_EQ(dir.Read("RWY.NTS"), "A\r\n1\r\na\r\n");
}

TEST_F(OneNotesFile, MissingProgramDirectoryIsReportedAndTheNoteKeptInMemory) {
    ProgramState state = Job(dir, {"A"}, 1);
    state.ProgramDir = dir.path() + "gone/";
    ReadNotes(state, ui);
    // The save lock of the directory is the first file a change needs.
    EXPECT_TRUE(ui.OnlyBox("File Error",
                           "The path for " + dir.path() + "gone/tavro-save.lock doesn't exist."));
    EXPECT_EQ(state.NotesText, "A");
    EXPECT_FALSE(UpdateNotes(state, ui, "edited", NotesMode::Replace));
}

TEST_F(OneNotesFile, UnreadableNotesFileIsReportedAndLeftAlone) {
    std::filesystem::create_directory(dir.File("RWY.NTS"));
    ProgramState state = Job(dir, {"A"}, 1);
    EXPECT_FALSE(UpdateNotes(state, ui, "edited", NotesMode::Replace));
    EXPECT_TRUE(ui.OnlyBox(nullptr, "Can't open " + dir.File("RWY.NTS") +
                                        " for that type of access.\r\n\r\nIt is a directory."));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("RWY.NTS")));
}

}  // namespace
}  // namespace tavro::core
