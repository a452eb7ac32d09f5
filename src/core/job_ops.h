// Job and section organization of the main window, free of any window: the job list,
// the section list, new and deleted jobs, duplicated, deleted and copied sections, and
// the rules of the name dialog.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/user_port.h"

namespace tavro::core {

struct ProgramState;

// ---- Name dialog -------------------------------------------------------------------
enum class NameMode { NewJob, NewSection, CopySection };

struct NameDialogSpec {
    std::string title;
    std::string defaultText;
    int maxLength = 0;
    std::string instruction;  // lines separated by NL
};
NameDialogSpec NameDialogFor(const ProgramState& state, NameMode mode);

// Keys the dialog accepts: 0-9, A-Z, a-z, '-' and '_'.
bool IsNameCharacter(char c);

// The entry box of the name dialog as a state machine: the first key other than
// Backspace replaces the default text; refused keys beep; the length is capped.
class NameEntry {
public:
    NameEntry(std::string defaultText, int maxLength)
        : text_(std::move(defaultText)), maxLength_(maxLength) {}
    // Feeds one key ('\b' is Backspace). Returns false (beep) when the key is refused.
    bool Key(char c);
    const std::string& text() const { return text_; }

private:
    std::string text_;
    int maxLength_;
    bool touched_ = false;
};

// Checks a name given whole (the command line): nullopt when the dialog would have
// produced it, otherwise the reason.
std::optional<std::string> CheckName(std::string_view name, NameMode mode);

// ---- Lists -------------------------------------------------------------------------
// "Samples" followed by the job files of ProgramDir (sorted by name without regard to
// case); shows "No Job Files" when there is none; selects entry 0 (opens "Samples").
void FillJobList(ProgramState& state, UserPort& ui);

// Section list lines: the first 12 characters of the name, a tab, the pavement type name.
// Loads every section in turn and restores the current one.
std::vector<std::string> FillSectionList(ProgramState& state, UserPort& ui);
// The same lines built from the stored sections alone: the working copy of the current
// section (and its unsaved edits) is left as it is.
std::vector<std::string> SectionListLines(const ProgramState& state);

// Opens a job by name into the job table, without falling back to "Samples". false when
// its file could not be read completely; the sections read before the problem are kept.
bool LoadJob(ProgramState& state, UserPort& ui, std::string_view jobName);

// Opens job list entry `index` (0 = "Samples"). When the job file cannot be read, falls
// back to "Samples". Returns false when it fell back.
bool SelectJob(ProgramState& state, UserPort& ui, int index);

// Opens a job by name (as SelectJob for the entry of that name). false when no such job
// is listed or it could not be read (the state then holds "Samples").
bool OpenJob(ProgramState& state, UserPort& ui, std::string_view jobName);

// Selects section `slot` (1-based) and loads it.
void SelectSection(ProgramState& state, UserPort& ui, int slot);

// ---- Commands ----------------------------------------------------------------------
enum class OpStatus { Done, Refused, Failed };

OpStatus NewJob(ProgramState& state, UserPort& ui, std::string_view name);
// Asks "Deleting a Job" (Yes/No, No default) for the open job.
OpStatus DeleteJob(ProgramState& state, UserPort& ui);
// Duplicates the current section under `name` ("Dup. Section").
OpStatus DuplicateSection(ProgramState& state, UserPort& ui, std::string_view name);
// Asks "Deleting a Section" (Yes/No, No default) and deletes the current section.
OpStatus DeleteSection(ProgramState& state, UserPort& ui);
// Copies the current section of the open job, with its note, to `targetJob` under
// `name`, then reopens the source job with the same current section.
OpStatus CopySectionToJob(ProgramState& state, UserPort& ui, std::string_view targetJob,
                          std::string_view name);

}  // namespace tavro::core
