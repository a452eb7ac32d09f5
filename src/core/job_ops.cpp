#include "core/job_ops.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/file_error.h"
#include "core/file_io.h"
#include "core/job_change.h"
#include "core/job_file.h"
#include "core/messages.h"
#include "core/narrow.h"
#include "core/notes_file.h"
#include "core/program_state.h"
#include "core/section_ops.h"

namespace tavro::core {

namespace {

constexpr std::string_view kJobExtension = ".JOB";

std::vector<std::string> ListJobFiles(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string file = it->path().filename().string();
        if (file.size() <= kJobExtension.size() || !file.ends_with(kJobExtension)) continue;
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        names.push_back(file.substr(0, file.size() - kJobExtension.size()));
    }
    // Directory order is arbitrary on most file systems; a sorted list is stable.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return LessNoCase(a, b) || (!LessNoCase(b, a) && a < b);
    });
    return names;
}

int JobListPosition(const ProgramState& state, std::string_view jobName) {
    for (std::size_t i = 0; i < state.JobList.size(); ++i)
        if (state.JobList[i] == jobName) return static_cast<int>(i);
    for (std::size_t i = 0; i < state.JobList.size(); ++i)
        if (EqualsNoCase(state.JobList[i], jobName)) return static_cast<int>(i);
    return -1;
}

}  // namespace

bool LoadJob(ProgramState& state, UserPort& ui, std::string_view jobName) {
    state.JobName = std::string(jobName);
    state.ReadOnlyReason.clear();
    if (IsSamplesJob(jobName)) {
        LoadSampleJob(state);
        state.SavedSections = state.Sections;
        state.CurrentSection = 1;
        return true;
    }
    const bool failed = ReadJob(state, ui);
    state.CurrentSection = state.SectionCount() > 0 ? 1 : 0;
    return !failed;
}

namespace {

void OpenSamples(ProgramState& state) {
    state.JobListIndex = 0;
    state.JobName = std::string(kSamplesJob);
    state.ReadOnlyReason.clear();
    LoadSampleJob(state);
    state.SavedSections = state.Sections;
    state.CurrentSection = 1;
}

// Only a regular file is deleted: a link or a device under a job's name is reported.
bool RemoveFile(const ProgramState& state, UserPort& ui, const std::string& path) {
    while (true) {
        const int number = RemoveRegularFile(path);
        if (number == 0) return true;
        if (!ReportFileError(state, ui, number, path, FileOperation::Writing)) return false;
    }
}

std::string TooManySectionsText() {
    return JoinLines({"The maximum number of sections in a job is  100", "",
                      "Delete an old section or create a new job.", "",
                      "No action will be taken now."});
}

std::string SamplesRefusal(std::string_view secondLine) {
    return JoinLines({"Job Samples is part of the system.", secondLine});
}

}  // namespace

// ---- Name dialog -------------------------------------------------------------------

NameDialogSpec NameDialogFor(const ProgramState& state, NameMode mode) {
    const std::string& section = state.Current.SectionName;
    switch (mode) {
        case NameMode::NewJob:
            return {"Creating a New Job", "", 8,
                    JoinLines({"   A new job will be created with no",
                               "   section data. Use \"Copy Section\" and",
                               "   \"Dup. Section\" to transfer aircraft and",
                               "   section data to the new job.",
                               "   Enter the name of the new job and",
                               "   click OK or press Enter. Up to eight",
                               "   characters can be entered (all the",
                               "   alphanumeric plus \"-\" and \"_\")."})};
        case NameMode::NewSection:
            return {"Creating a New Section", section, 12,
                    JoinLines({"   A new section will be created with the",
                               "   same aircraft and structure data as",
                               "   " + state.JobName + " " + section + ".",
                               "   Enter the name of the new section and",
                               "   click OK or press Enter. Up to twelve",
                               "   alphanumeric characters can be entered."})};
        case NameMode::CopySection:
            return {"Copying a Section", section, 12,
                    JoinLines({"   To copy the section with the name",
                               "   unchanged, click OK or press Enter.",
                               "   Otherwise, enter a new name and", "   click OK or press Enter.",
                               "   Up to twelve alphanumeric characters", "   can be entered."})};
    }
    return {};
}

bool IsNameCharacter(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' ||
           c == '_';
}

bool NameEntry::Key(char c) {
    if (c == '\b') {
        if (!text_.empty()) text_.pop_back();
        return true;
    }
    if (!IsNameCharacter(c)) return false;
    if (!touched_) {
        text_.clear();
        touched_ = true;
    }
    if (static_cast<int>(text_.size()) >= maxLength_) return false;
    text_ += c;
    return true;
}

std::optional<std::string> CheckName(std::string_view name, NameMode mode) {
    const int maxLength = mode == NameMode::NewJob ? 8 : 12;
    const std::string what = mode == NameMode::NewJob ? "job" : "section";
    if (name.empty()) return "The " + what + " name is empty.";
    if (!std::all_of(name.begin(), name.end(), IsNameCharacter))
        return "The " + what + " name \"" + std::string(name) +
               "\" may hold only the characters 0-9, A-Z, a-z, \"-\" and \"_\".";
    if (static_cast<int>(name.size()) > maxLength)
        return "The " + what + " name \"" + std::string(name) + "\" is longer than " +
               std::to_string(maxLength) + " characters.";
    return std::nullopt;
}

// ---- Lists -------------------------------------------------------------------------

void FillJobList(ProgramState& state, UserPort& ui) {
    state.JobList.assign(1, std::string(kSamplesJob));
    for (auto& name : ListJobFiles(state.ProgramDir)) {
        if (!IsSamplesJob(name)) state.JobList.push_back(std::move(name));
    }
    if (state.JobList.size() == 1) {
        ShowMessage(state, ui,
                    JoinLines({"There are no job files", "in directory " + state.ProgramDir + "."}),
                    Buttons::Ok, "No Job Files");
    }
    SelectJob(state, ui, 0);
}

std::vector<std::string> FillSectionList(ProgramState& state, UserPort& ui) {
    std::vector<std::string> lines;
    const std::int16_t current = state.CurrentSection;
    for (int i = 1; i <= state.SectionCount(); ++i) {
        state.CurrentSection = Int16(i);
        LoadSection(state, ui);
        lines.push_back(state.Current.SectionName.substr(0, kShownNameLength) + "\t" +
                        std::string(PavementTypeListName(state.Current.PavementType)));
    }
    state.CurrentSection = current;
    LoadSection(state, ui);
    return lines;
}

std::vector<std::string> SectionListLines(const ProgramState& state) {
    std::vector<std::string> lines;
    for (int i = 1; i <= state.SectionCount(); ++i) {
        const Section& section = state.Slot(i);
        lines.push_back(
            section.SectionName.substr(0, kShownNameLength) + "\t" +
            std::string(PavementTypeListName(ClassifyPavement(section.Layers).pavementType)));
    }
    return lines;
}

bool SelectJob(ProgramState& state, UserPort& ui, int index) {
    if (index < 0 || index >= static_cast<int>(state.JobList.size())) index = 0;
    state.JobListIndex = Int16(index);
    const bool read = LoadJob(state, ui, state.JobList[static_cast<std::size_t>(index)]);
    if (!read) OpenSamples(state);
    FillSectionList(state, ui);
    return read;
}

bool OpenJob(ProgramState& state, UserPort& ui, std::string_view jobName) {
    const int position = JobListPosition(state, jobName);
    if (position < 0) return false;
    return SelectJob(state, ui, position);
}

void SelectSection(ProgramState& state, UserPort& ui, int slot) {
    if (slot < 1 || slot > state.SectionCount()) return;
    state.CurrentSection = Int16(slot);
    LoadSection(state, ui);
}

// ---- Commands ----------------------------------------------------------------------

OpStatus NewJob(ProgramState& state, UserPort& ui, std::string_view name) {
    if (IsSamplesJob(name)) {
        ShowMessage(state, ui,
                    JoinLines({"Samples is a reserved job name.", "It cannot be reused."}),
                    Buttons::Ok, "Creating a New Job");
        return OpStatus::Refused;
    }
    const std::string path = JobFilePath(state, name);
    FileLock lock;  // two programs creating the same job: one of them is told it exists
    if (!LockSaves(state, ui, lock)) return OpStatus::Failed;
    if (FileExists(path)) {
        ShowMessage(state, ui,
                    JoinLines({"Job " + std::string(name) + " already exists.", "",
                               "If you want to use the name again,", "first delete the job."}),
                    Buttons::Ok, "Creating a New Job");
        return OpStatus::Refused;
    }
    while (true) {
        const int error = WriteFileAtomically(path, "Format3\r\n");
        if (error == 0) break;
        if (!ReportFileError(state, ui, error, path, FileOperation::Writing))
            return OpStatus::Failed;
    }
    lock.Release();
    FillJobList(state, ui);
    return OpStatus::Done;
}

OpStatus DeleteJob(ProgramState& state, UserPort& ui) {
    const std::string path = JobFilePath(state, state.JobName);
    if (!IsSamplesJob(state.JobName) && FileExists(path)) {
        const Answer a = ShowMessage(state, ui,
                                     JoinLines({"Deleting all data for " + state.JobName + ".", "",
                                                "All section and notes data will be deleted.", "",
                                                "Do you want to continue."}),
                                     Buttons::YesNo, "Deleting a Job", Answer::No);
        if (a != Answer::Yes) return OpStatus::Refused;
        FileLock lock;
        if (!LockSaves(state, ui, lock)) return OpStatus::Failed;
        if (!RemoveFile(state, ui, path)) return OpStatus::Failed;
        const std::string notes = NotesFilePath(state, state.JobName);
        if (FileExists(notes) && !RemoveFile(state, ui, notes)) return OpStatus::Failed;
        lock.Release();
        FillJobList(state, ui);
        return OpStatus::Done;
    }
    if (IsSamplesJob(state.JobName)) {
        ShowMessage(state, ui, SamplesRefusal("It cannot be deleted."), Buttons::Ok,
                    "Deleting a Job");
    }
    return OpStatus::Refused;
}

OpStatus DuplicateSection(ProgramState& state, UserPort& ui, std::string_view name) {
    if (IsSamplesJob(state.JobName)) {
        ShowMessage(state, ui, SamplesRefusal("New sections cannot be added."), Buttons::Ok,
                    "Adding a New Section");
        return OpStatus::Refused;
    }
    if (state.SectionCount() == 0) {
        ShowMessage(
            state, ui,
            JoinLines({"There are no sections", "to duplicate.", "", "No action will be taken."}),
            Buttons::Ok, "Duplicating a Section");
        return OpStatus::Refused;
    }
    if (RefuseReadOnly(state, ui, "Duplicating a Section")) return OpStatus::Refused;
    if (state.SectionCount() >= kMaxSections) {
        ShowMessage(state, ui, TooManySectionsText(), Buttons::Ok, "Duplicating a Section");
        return OpStatus::Refused;
    }
    const std::int16_t before = state.CurrentSection;
    if (InsertSection(state, ui, name) != InsertStatus::Inserted) return OpStatus::Refused;
    const std::int16_t added = state.CurrentSection;
    if (!WriteJob(state, ui, {{std::string(name), std::string(kNoNotes)}})) {
        // Keep the job table in step with the file the user still has.
        state.Sections.erase(state.Sections.begin() + (added - 1));
        state.CurrentSection = before;
        FillSectionList(state, ui);
        return OpStatus::Failed;
    }
    FillSectionList(state, ui);
    return OpStatus::Done;
}

OpStatus DeleteSection(ProgramState& state, UserPort& ui) {
    if (state.SectionCount() == 0) {
        ShowMessage(
            state, ui,
            JoinLines({"There are no sections", "to delete.", "", "No action will be taken."}),
            Buttons::Ok, "Deleting a Section");
        return OpStatus::Refused;
    }
    if (state.CurrentSection < 1 || state.CurrentSection > state.SectionCount())
        state.CurrentSection = 1;
    if (RefuseReadOnly(state, ui, "Deleting a Section")) return OpStatus::Refused;
    const Answer a = ShowMessage(state, ui,
                                 JoinLines({"Deleting section " + state.Current.SectionName +
                                                " in job " + state.JobName + ".",
                                            "", "Do you want to continue?"}),
                                 Buttons::YesNo, "Deleting a Section", Answer::No);
    if (a != Answer::Yes) return OpStatus::Refused;

    const std::int16_t deletedSlot = state.CurrentSection;
    const Section deleted = state.Slot(deletedSlot);
    state.Sections.erase(state.Sections.begin() + (deletedSlot - 1));
    if (state.CurrentSection > state.SectionCount()) {
        state.CurrentSection = Int16(state.SectionCount());
    }
    LoadSection(state, ui);
    if (IsSamplesJob(state.JobName)) {
        // The built-in job changes in memory only: its notes file must keep matching the
        // three sections it has whenever it is opened again.
        WriteJob(state, ui);
        FillSectionList(state, ui);
        return OpStatus::Done;
    }
    if (!WriteJob(state, ui)) {
        state.Sections.insert(state.Sections.begin() + (deletedSlot - 1), deleted);
        state.CurrentSection = deletedSlot;
        FillSectionList(state, ui);
        return OpStatus::Failed;
    }
    // The notes file lost the deleted section's entry in the same save.
    FillSectionList(state, ui);
    return OpStatus::Done;
}

OpStatus CopySectionToJob(ProgramState& state, UserPort& ui, std::string_view targetJob,
                          std::string_view name) {
    const std::string sourceJob = state.JobName;
    const std::int16_t sourceSlot = state.CurrentSection;
    const std::int16_t sourceListIndex = state.JobListIndex;
    if (state.SectionCount() == 0) {
        ShowMessage(
            state, ui,
            JoinLines({"There are no sections to copy", "Please select a job with sections."}),
            Buttons::Ok, "Copying a Section");
        return OpStatus::Refused;
    }
    // The copy takes its note along: without it, nothing is copied.
    if (!ReadNotes(state, ui)) return OpStatus::Failed;
    OpStatus status = OpStatus::Refused;
    if (IsSamplesJob(targetJob)) {
        ShowMessage(state, ui, SamplesRefusal("No more sections can be added."), Buttons::Ok,
                    "Copying a Section");
    } else {
        state.JobName = std::string(targetJob);
        if (ReadJob(state, ui)) {
            ShowMessage(state, ui, "Cannot copy to this job file.", Buttons::Ok, "File Error");
            status = OpStatus::Failed;
        } else if (RefuseReadOnly(state, ui, "Copying a Section")) {
        } else if (state.SectionCount() >= kMaxSections) {
            ShowMessage(state, ui, TooManySectionsText(), Buttons::Ok, "Copying a Section");
        } else if (InsertSection(state, ui, name) == InsertStatus::Inserted) {
            if (WriteJob(state, ui, {{std::string(name), state.NotesText}})) {
                status = OpStatus::Done;
            } else {
                status = OpStatus::Failed;
            }
        }
    }
    // Reopen the source job with the same section selected.
    state.JobListIndex = sourceListIndex;
    if (!LoadJob(state, ui, sourceJob))
        OpenSamples(state);
    else if (sourceSlot >= 1 && sourceSlot <= state.SectionCount())
        state.CurrentSection = sourceSlot;
    FillSectionList(state, ui);
    return status;
}

}  // namespace tavro::core
