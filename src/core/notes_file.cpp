// Notes files: one entry per section (name line, byte count line, the note, CR LF), kept
// in step with the job file. Every rewrite is built in memory from the old bytes and
// saved atomically under the save lock, so a failed save never costs the user the notes
// already on disk, and entries follow their sections by name.
#include "core/notes_file.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>

#include "core/file_error.h"
#include "core/file_io.h"
#include "core/job_change.h"
#include "core/messages.h"
#include "core/narrow.h"
#include "core/program_state.h"
#include "core/section_ops.h"

namespace tavro::core {

namespace {

constexpr std::string_view kBadNotesStem = "NOTESBAD";
constexpr int kMaxBadNotesCopies = 999;

// Reads entries one after the other. Line ends may be CR LF or LF alone (a file edited by
// hand); a note is exactly the counted bytes, whatever they contain.
class EntryReader {
public:
    explicit EntryReader(std::string_view bytes) : bytes_(bytes) {}

    bool AtEnd() const { return pos_ >= bytes_.size(); }

    // The next entry; nullopt when it is missing or its count is not a number of bytes
    // that the file still holds. After a nullopt the reader is not used again.
    std::optional<NoteEntryText> Next() {
        std::optional<std::string_view> name = Line();
        if (!name) return std::nullopt;
        std::optional<std::string_view> countLine = Line();
        if (!countLine) return std::nullopt;
        std::optional<std::size_t> count = ParseCount(*countLine);
        if (!count || *count > bytes_.size() - pos_) return std::nullopt;
        std::string_view note = bytes_.substr(pos_, *count);
        pos_ += *count;
        SkipRestOfLine();
        return NoteEntryText{std::string(*name), std::string(note)};
    }

private:
    std::optional<std::string_view> Line() {
        if (pos_ >= bytes_.size()) return std::nullopt;
        std::size_t lf = bytes_.find('\n', pos_);
        std::size_t end = lf == std::string_view::npos ? bytes_.size() : lf;
        std::string_view line = bytes_.substr(pos_, end - pos_);
        pos_ = lf == std::string_view::npos ? bytes_.size() : lf + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return line;
    }

    void SkipRestOfLine() {
        std::size_t lf = bytes_.find('\n', pos_);
        pos_ = lf == std::string_view::npos ? bytes_.size() : lf + 1;
    }

    // Digits only, blanks around them allowed: a sign or anything else marks damage.
    static std::optional<std::size_t> ParseCount(std::string_view text) {
        while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
            text.remove_prefix(1);
        while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
        std::uint64_t n = 0;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
        if (text.empty() || ec != std::errc() || end != text.data() + text.size())
            return std::nullopt;
        return static_cast<std::size_t>(n);
    }

    std::string_view bytes_;
    std::size_t pos_ = 0;
};

std::string FormatEntry(std::string_view name, std::string_view note) {
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, note.size()).ptr;
    std::string entry(name);
    entry += NL;
    entry.append(digits, end);
    entry += NL;
    entry += note;
    entry += NL;
    return entry;
}

bool HasCurrentSection(const ProgramState& state) {
    return state.CurrentSection >= 1 && state.CurrentSection <= state.SectionCount();
}

// The sections whose notes the file holds: the job table, or for "Samples" the built-in
// sections (deleting one of them changes the job in memory only).
std::vector<std::string> ExpectedNames(const ProgramState& state) {
    if (!IsSamplesJob(state.JobName)) return NamesOf(state.Sections);
    ProgramState samples;
    LoadSampleJob(samples);
    return NamesOf(samples.Sections);
}

// The note of `name` in the entries (the k-th entry of that name for the k-th section of
// that name, counted up to `slot`); nullopt when there is none.
std::optional<std::string> NoteByName(const ParsedNotes& notes,
                                      const std::vector<std::string>& names, int slot) {
    const std::string& name = names[SlotIndex(slot)];
    int occurrence = 0;
    for (int i = 1; i < slot; ++i)
        if (names[SlotIndex(i)] == name) ++occurrence;
    for (const NoteEntryText& e : notes.entries) {
        if (e.name != name) continue;
        if (occurrence-- == 0) return e.note;
    }
    return std::nullopt;
}

// Whether the entries are those expected after a change of this mode: Insert adds an
// entry for the current slot, Remove drops one.
bool MatchesBeforeChange(const ParsedNotes& old, const std::vector<std::string>& names,
                         NotesMode mode, int current) {
    if (!old.complete) return false;
    if (mode == NotesMode::Replace) return NotesMatch(old, names);
    if (mode == NotesMode::Insert) {
        std::vector<std::string> before = names;
        if (current >= 1 && current <= static_cast<int>(before.size()))
            before.erase(before.begin() + (current - 1));
        return NotesMatch(old, before);
    }
    if (old.entries.size() != names.size() + 1) return false;
    for (std::size_t skip = 0; skip < old.entries.size(); ++skip) {
        ParsedNotes rest = old;
        rest.entries.erase(rest.entries.begin() + static_cast<std::ptrdiff_t>(skip));
        if (NotesMatch(rest, names)) return true;
    }
    return false;
}

// The rewrite of UpdateNotes, with the save lock held.
bool RewriteNotes(ProgramState& state, UserPort& ui, std::string_view text, NotesMode mode) {
    const std::vector<std::string> names =
        IsSamplesJob(state.JobName) ? ExpectedNames(state) : SectionNamesOnDisk(state);
    const std::string path = NotesFilePath(state, state.JobName);
    std::optional<std::string> old = LoadWithRetry(state, ui, path);
    if (!old) return false;
    std::vector<NoteChange> changes;
    if (mode != NotesMode::Remove && HasCurrentSection(state))
        changes.push_back({state.Slot(state.CurrentSection).SectionName, std::string(text)});
    const ParsedNotes parsed = ParseNotes(*old);
    if (!old->empty() && !MatchesBeforeChange(parsed, names, mode, state.CurrentSection)) {
        // Without the damaged copy set aside, the old file must stay as it is.
        if (!SetAsideDamagedNotes(state, ui, *old)) return false;
    }
    return SaveWithRetry(state, ui, path, NotesFor(names, parsed, changes));
}

}  // namespace

ParsedNotes ParseNotes(std::string_view bytes) {
    ParsedNotes out;
    EntryReader in(bytes);
    while (!in.AtEnd()) {
        std::optional<NoteEntryText> e = in.Next();
        if (!e) {
            out.complete = false;
            break;
        }
        out.entries.push_back(std::move(*e));
    }
    return out;
}

bool NotesMatch(const ParsedNotes& notes, const std::vector<std::string>& names) {
    if (!notes.complete || notes.entries.size() != names.size()) return false;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (notes.entries[i].name != names[i]) return false;
    return true;
}

std::string NotesFor(const std::vector<std::string>& names, const ParsedNotes& old,
                     const std::vector<NoteChange>& changes) {
    std::string bytes;
    for (int slot = 1; slot <= static_cast<int>(names.size()); ++slot) {
        const std::string& name = names[SlotIndex(slot)];
        std::optional<std::string> note;
        for (const NoteChange& c : changes)
            if (c.sectionName == name) note = c.text;
        if (!note) note = NoteByName(old, names, slot);
        bytes += FormatEntry(name, note ? *note : name);
    }
    return bytes;
}

std::vector<std::string> NamesOf(const std::vector<Section>& sections) {
    std::vector<std::string> names;
    for (const Section& s : sections) names.push_back(s.SectionName);
    return names;
}

bool SetAsideDamagedNotes(const ProgramState& state, UserPort& ui, std::string_view bytes) {
    // The first name no earlier repair used: a repair never destroys an earlier copy.
    std::string badName;
    for (int n = 1; n <= kMaxBadNotesCopies && badName.empty(); ++n) {
        std::string candidate(kBadNotesStem);
        if (n > 1) candidate += "-" + std::to_string(n);
        candidate += ".NTS";
        if (!FileExists(state.ProgramDir + candidate)) badName = candidate;
    }
    if (badName.empty())
        badName = std::string(kBadNotesStem) + "-" + std::to_string(kMaxBadNotesCopies) + ".NTS";
    std::string text = "File " + state.JobName + ".NTS is corrupted.";
    text += NL;
    text += NL;
    text += "The corrupted file has been stored in " + badName + ",";
    text += NL;
    text += "and as much of the corrupted file as possible";
    text += NL;
    text += "retained in " + state.JobName + ".NTS.";
    text += NL;
    text += "Try to fix the file in a text editor immediately.";
    ShowMessage(state, ui, text, Buttons::Ok, "Notes File Error", Answer::Ok, Icon::Exclamation);
    return SaveWithRetry(state, ui, state.ProgramDir + badName, bytes);
}

bool SaveWithRetry(const ProgramState& state, UserPort& ui, const std::string& path,
                   std::string_view bytes) {
    for (;;) {
        int err = WriteFileAtomically(path, bytes);
        if (err == 0) return true;
        if (!ReportFileError(state, ui, err, path, FileOperation::Writing)) return false;
    }
}

std::optional<std::string> LoadWithRetry(const ProgramState& state, UserPort& ui,
                                         const std::string& path) {
    for (;;) {
        if (!FileExists(path)) return std::string();
        ReadResult r = ReadWholeFile(path);
        if (r.error == 0) return std::move(r.bytes);
        if (!ReportFileError(state, ui, r.error, path, FileOperation::Reading, r.detail))
            return std::nullopt;
    }
}

std::string NotesFilePath(const ProgramState& state, std::string_view jobName) {
    return state.ProgramDir + std::string(jobName) + ".NTS";
}

bool UpdateNotes(ProgramState& state, UserPort& ui, std::string_view text, NotesMode mode) {
    if (RefuseReadOnly(state, ui, "Saving Notes")) return false;
    FileLock lock;
    if (!LockSaves(state, ui, lock)) return false;
    return RewriteNotes(state, ui, text, mode);
}

bool ReadNotes(ProgramState& state, UserPort& ui) {
    const std::string name =
        HasCurrentSection(state) ? state.Slot(state.CurrentSection).SectionName : std::string();
    state.NotesText = name;
    const std::string path = NotesFilePath(state, state.JobName);
    std::optional<std::string> bytes = LoadWithRetry(state, ui, path);
    if (!bytes) return false;
    if (bytes->empty()) {
        // A fresh file: the note is the name. A read-only job's files are left alone.
        if (state.ReadOnlyReason.empty()) UpdateNotes(state, ui, name, NotesMode::Replace);
        return true;
    }
    if (!HasCurrentSection(state)) return true;
    ParsedNotes notes = ParseNotes(*bytes);
    // The slot of the current section among the names the file should follow.
    const std::vector<std::string> expected = ExpectedNames(state);
    int slot = 0;
    for (int i = 1; i <= static_cast<int>(expected.size()) && slot == 0; ++i)
        if (expected[SlotIndex(i)] == name) slot = i;
    if (NotesMatch(notes, expected) || !state.ReadOnlyReason.empty()) {
        if (slot != 0)
            if (std::optional<std::string> note = NoteByName(notes, expected, slot))
                state.NotesText = std::move(*note);
        return true;
    }
    // Out of step with this job table. Another program may have changed the job since it
    // was read: only a file out of step with the job file as it is now is damaged.
    FileLock lock;
    if (!LockSaves(state, ui, lock)) return true;
    std::optional<std::string> now = LoadWithRetry(state, ui, path);
    if (!now) return false;
    notes = ParseNotes(*now);
    const std::vector<std::string> onDisk =
        IsSamplesJob(state.JobName) ? expected : SectionNamesOnDisk(state);
    if (!now->empty() && !NotesMatch(notes, onDisk)) {
        if (!SetAsideDamagedNotes(state, ui, *now)) return true;
        const std::string repaired = NotesFor(onDisk, notes, {});
        if (!SaveWithRetry(state, ui, path, repaired)) return true;
        notes = ParseNotes(repaired);
    }
    for (int i = 1; i <= static_cast<int>(onDisk.size()); ++i) {
        if (onDisk[SlotIndex(i)] != name) continue;
        if (std::optional<std::string> note = NoteByName(notes, onDisk, i))
            state.NotesText = std::move(*note);
        break;
    }
    return true;
}

}  // namespace tavro::core
