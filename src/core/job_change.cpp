#include "core/job_change.h"

#include <algorithm>
#include <optional>

#include "core/file_error.h"
#include "core/file_io.h"
#include "core/job_file.h"
#include "core/messages.h"
#include "core/program_state.h"
#include "core/section_ops.h"

namespace tavro::core {

namespace {

using Table = std::vector<Section>;

Table::iterator FindByName(Table& table, std::string_view name) {
    return std::find_if(table.begin(), table.end(),
                        [&](const Section& s) { return EqualsNoCase(s.SectionName, name); });
}

const Section* FindByName(const Table& table, std::string_view name) {
    auto it = std::find_if(table.begin(), table.end(),
                           [&](const Section& s) { return EqualsNoCase(s.SectionName, name); });
    return it == table.end() ? nullptr : &*it;
}

// What the job file holds now; nullopt when it cannot be read whole (reported: a save
// over a file that is not understood would destroy what it holds).
std::optional<Table> ReadJobOnDisk(const ProgramState& state, UserPort& ui, const std::string& path,
                                   std::string& bytes, bool& existed) {
    existed = FileExists(path);
    bytes.clear();
    if (!existed) return Table{};
    for (;;) {
        ReadResult file = ReadWholeFile(path, kJobFileReadLimit);
        if (file.error == 0) {
            bytes = std::move(file.bytes);
            break;
        }
        if (!ReportFileError(state, ui, file.error, path, FileOperation::Reading, file.detail))
            return std::nullopt;
    }
    ParsedJob job = ParseJob(bytes, state.JobName);
    if (job.status == ParseStatus::Complete && job.messages.empty()) return std::move(job.sections);
    ShowMessage(state, ui,
                JoinLines({"Job file " + path + " has been changed by another program",
                           "and can no longer be read whole.", "", "Nothing has been saved."}),
                Buttons::Ok, "Saving a Job", Answer::Ok, Icon::Exclamation);
    return std::nullopt;
}

bool SectionExistsText(const ProgramState& state, UserPort& ui, std::string_view name) {
    ShowMessage(state, ui,
                JoinLines({"Section " + std::string(name) + " already exists.", "",
                           "No action will be taken."}),
                Buttons::Ok, "Inserting a Section");
    return false;
}

// Applies the changes from `base` to `mem` onto `result` (what the file holds now).
// false when a change conflicts with the file (reported).
bool Merge(const ProgramState& state, UserPort& ui, const Table& base, const Table& mem,
           Table& result) {
    for (const Section& b : base) {
        if (FindByName(mem, b.SectionName)) continue;
        auto it = FindByName(result, b.SectionName);
        if (it != result.end()) result.erase(it);
    }
    for (const Section& m : mem) {
        const Section* b = FindByName(base, m.SectionName);
        auto it = FindByName(result, m.SectionName);
        if (!b) {
            if (it != result.end()) return SectionExistsText(state, ui, m.SectionName);
            auto at = std::find_if(result.begin(), result.end(), [&](const Section& s) {
                return !LessNoCase(s.SectionName, m.SectionName);
            });
            result.insert(at, m);
        } else if (!(m == *b)) {
            if (it == result.end()) {
                ShowMessage(state, ui,
                            JoinLines({"Section " + m.SectionName + " is no longer in job " +
                                           state.JobName + ":",
                                       "another program deleted it while it was open here.", "",
                                       "Nothing has been saved."}),
                            Buttons::Ok, "Saving a Job", Answer::Ok, Icon::Exclamation);
                return false;
            }
            *it = m;
        }
    }
    return true;
}

// Puts the job file back as it was before this change (the notes could not follow it).
void UndoJobWrite(const ProgramState& state, UserPort& ui, const std::string& path, bool existed,
                  const std::string& oldBytes) {
    for (;;) {
        const int error = existed ? WriteFileAtomically(path, oldBytes) : RemoveRegularFile(path);
        if (error == 0) return;
        if (!ReportFileError(state, ui, error, path, FileOperation::Writing)) return;
    }
}

}  // namespace

bool LockSaves(const ProgramState& state, UserPort& ui, FileLock& lock) {
    const std::string path = state.ProgramDir + std::string(kSaveLockName);
    for (;;) {
        int error = 0;
        std::string detail;
        if (lock.Acquire(path, FileLock::Wait::Block, &error, &detail) == FileLock::Result::Locked)
            return true;
        if (!ReportFileError(state, ui, error, path, FileOperation::Writing, detail)) return false;
    }
}

bool RefuseReadOnly(const ProgramState& state, UserPort& ui, std::string_view title) {
    if (state.ReadOnlyReason.empty() || IsSamplesJob(state.JobName)) return false;
    ShowMessage(state, ui,
                JoinLines({"Job " + state.JobName + " was opened read-only:", state.ReadOnlyReason,
                           "", "No change can be saved to it. Copying its sections",
                           "into a new job keeps what could be read."}),
                Buttons::Ok, title, Answer::Ok, Icon::Exclamation);
    return true;
}

std::vector<std::string> SectionNamesOnDisk(const ProgramState& state) {
    if (IsSamplesJob(state.JobName)) {
        ProgramState samples;
        LoadSampleJob(samples);
        return NamesOf(samples.Sections);
    }
    ReadResult file = ReadWholeFile(JobFilePath(state, state.JobName), kJobFileReadLimit);
    if (file.error == 0) {
        ParsedJob job = ParseJob(file.bytes, state.JobName);
        if (job.status == ParseStatus::Complete && job.messages.empty())
            return NamesOf(job.sections);
    }
    return NamesOf(state.Sections);
}

SaveStatus SaveJobChanges(ProgramState& state, UserPort& ui, const std::vector<NoteChange>& notes) {
    if (RefuseReadOnly(state, ui, "Saving a Job")) return SaveStatus::Refused;
    FileLock lock;
    if (!LockSaves(state, ui, lock)) return SaveStatus::Failed;

    const std::string path = JobFilePath(state, state.JobName);
    std::string oldJob;
    bool existed = false;
    std::optional<Table> disk = ReadJobOnDisk(state, ui, path, oldJob, existed);
    if (!disk) return SaveStatus::Failed;
    if (!existed && !state.SavedSections.empty()) {
        // Deleted by another program while open here: not silently brought back in part.
        ShowMessage(state, ui,
                    JoinLines({"Job " + state.JobName + " no longer exists:",
                               "another program deleted it while it was open here.", "",
                               "Nothing has been saved."}),
                    Buttons::Ok, "Saving a Job", Answer::Ok, Icon::Exclamation);
        return SaveStatus::Refused;
    }
    Table result = *disk;
    if (!Merge(state, ui, state.SavedSections, state.Sections, result)) return SaveStatus::Refused;
    for (Section& s : result)
        if (!s.Layers.empty()) s.Layers.back().LayerThickness = 0;

    const bool jobChanged = !existed || result != *disk;
    if (jobChanged) {
        for (;;) {
            const int error = WriteFileAtomically(path, FormatJob(result));
            if (error == 0) break;
            if (!ReportFileError(state, ui, error, path, FileOperation::Writing))
                return SaveStatus::Failed;
        }
    }

    const std::string notesPath = NotesFilePath(state, state.JobName);
    std::optional<std::string> oldNotes = LoadWithRetry(state, ui, notesPath);
    bool notesSaved = oldNotes.has_value();
    const std::vector<std::string> namesBefore = NamesOf(*disk);
    const std::vector<std::string> namesAfter = NamesOf(result);
    if (notesSaved && (!oldNotes->empty() || !notes.empty() || namesBefore != namesAfter)) {
        const ParsedNotes parsed = ParseNotes(*oldNotes);
        if (!oldNotes->empty() && !NotesMatch(parsed, namesBefore))
            notesSaved = SetAsideDamagedNotes(state, ui, *oldNotes);
        const std::string newNotes = NotesFor(namesAfter, parsed, notes);
        if (notesSaved && newNotes != *oldNotes)
            notesSaved = SaveWithRetry(state, ui, notesPath, newNotes);
    }
    if (!notesSaved) {
        if (jobChanged) UndoJobWrite(state, ui, path, existed, oldJob);
        return SaveStatus::Failed;
    }

    std::string currentName;
    if (state.CurrentSection >= 1 && state.CurrentSection <= state.SectionCount())
        currentName = state.Slot(state.CurrentSection).SectionName;
    state.Sections = result;
    state.SavedSections = std::move(result);
    int slot = 0;
    for (int i = 1; i <= state.SectionCount() && slot == 0; ++i)
        if (!currentName.empty() && state.Slot(i).SectionName == currentName) slot = i;
    if (slot == 0) slot = std::min(std::max<int>(state.CurrentSection, 1), state.SectionCount());
    state.CurrentSection = static_cast<std::int16_t>(slot);
    return SaveStatus::Saved;
}

}  // namespace tavro::core
