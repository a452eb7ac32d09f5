// Notes files: one entry per section (name line, byte count line, the note, CR LF), kept
// in step with the job table. Every rewrite is built in memory from the old bytes and
// saved atomically, so a failed save never costs the user the notes already on disk.
#include "core/notes_file.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>

#include "core/file_error.h"
#include "core/file_io.h"
#include "core/messages.h"
#include "core/narrow.h"
#include "core/program_state.h"

namespace tavro::core {

namespace {

constexpr std::string_view kBadNotesName = "NOTESBAD.NTS";

struct NoteEntry {
    std::string_view name;
    std::string_view note;
};

// Reads entries one after the other. Line ends may be CR LF or LF alone (a file edited by
// hand); a note is exactly the counted bytes, whatever they contain.
class EntryReader {
public:
    explicit EntryReader(std::string_view bytes) : bytes_(bytes) {}

    // The next entry; nullopt when it is missing or its count is not a number of bytes
    // that the file still holds. After a nullopt the reader is not used again.
    std::optional<NoteEntry> Next() {
        std::optional<std::string_view> name = Line();
        if (!name) return std::nullopt;
        std::optional<std::string_view> countLine = Line();
        if (!countLine) return std::nullopt;
        std::optional<std::size_t> count = ParseCount(*countLine);
        if (!count || *count > bytes_.size() - pos_) return std::nullopt;
        std::string_view note = bytes_.substr(pos_, *count);
        pos_ += *count;
        SkipRestOfLine();
        return NoteEntry{*name, note};
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

const std::string& NameOfSlot(const ProgramState& state, int slot) {
    return state.Sections[SlotIndex(slot)].SectionName;
}

bool HasCurrentSection(const ProgramState& state) {
    return state.CurrentSection >= 1 && state.CurrentSection <= state.SectionCount();
}

bool GivesText(NotesMode mode) { return mode == NotesMode::Replace || mode == NotesMode::Insert; }

// A new file: every note is its section's name, except that the change being saved is
// kept (a copied-in note or a just-edited one must not be lost to a missing file).
std::string FreshNotes(const ProgramState& state, std::string_view text, NotesMode mode) {
    std::string bytes;
    for (int i = 1; i <= state.SectionCount(); ++i) {
        const std::string& name = NameOfSlot(state, i);
        bool changed = i == state.CurrentSection && GivesText(mode);
        bytes += FormatEntry(name, changed ? text : std::string_view(name));
    }
    return bytes;
}

struct RebuiltNotes {
    std::string bytes;
    int damagedSlot = 0;  // first slot whose entry was missing or out of step, 0 = none
};

// The entry of the current slot for one change; nullopt when the old file is damaged there.
std::optional<std::string> CurrentEntry(EntryReader& in, const std::string& name,
                                        std::string_view text, NotesMode mode) {
    if (mode == NotesMode::Insert) return FormatEntry(name, text);
    // The entry of a deleted section that was not the last one lies in the way.
    if (mode == NotesMode::Remove && text == kNotOldLastSect && !in.Next()) return std::nullopt;
    std::optional<NoteEntry> e = in.Next();
    if (!e || e->name != name) return std::nullopt;
    return FormatEntry(name, mode == NotesMode::Replace ? text : e->note);
}

RebuiltNotes RebuildNotes(const ProgramState& state, std::string_view old, std::string_view text,
                          NotesMode mode) {
    RebuiltNotes out;
    EntryReader in(old);
    for (int i = 1; i <= state.SectionCount(); ++i) {
        const std::string& name = NameOfSlot(state, i);
        std::optional<std::string> entry;
        if (out.damagedSlot == 0) {
            if (i == state.CurrentSection) {
                entry = CurrentEntry(in, name, text, mode);
            } else if (std::optional<NoteEntry> e = in.Next(); e && e->name == name) {
                entry = FormatEntry(name, e->note);
            }
            if (!entry) out.damagedSlot = i;
        }
        out.bytes += entry ? *entry : FormatEntry(name, name);
    }
    return out;
}

void ShowNotesCorrupted(const ProgramState& state, UserPort& ui) {
    std::string text = "File " + state.JobName + ".NTS is corrupted.";
    for (std::string_view line : {"", "The corrupted file has been stored in NOTESBAD.NTS,",
                                  "and as much of the corrupted file as possible"}) {
        text += NL;
        text += line;
    }
    text += NL;
    text += "retained in " + state.JobName + ".NTS.";
    text += NL;
    text += "Try to fix the file in a text editor immediately.";
    ShowMessage(state, ui, text, Buttons::Ok, "Notes File Error", Answer::Ok, Icon::Exclamation);
}

bool SaveWithRetry(const ProgramState& state, UserPort& ui, const std::string& path,
                   std::string_view bytes) {
    for (;;) {
        int err = WriteFileAtomically(path, bytes);
        if (err == 0) return true;
        if (!ReportFileError(state, ui, err, path, FileOperation::Writing)) return false;
    }
}

// The old file's bytes ("" when there is none); nullopt when it exists but cannot be read
// and the user gave up (already reported).
std::optional<std::string> LoadWithRetry(const ProgramState& state, UserPort& ui,
                                         const std::string& path) {
    for (;;) {
        if (!FileExists(path)) return std::string();
        ReadResult r = ReadWholeFile(path);
        if (r.error == 0) return std::move(r.bytes);
        if (!ReportFileError(state, ui, r.error, path, FileOperation::Reading)) return std::nullopt;
    }
}

// The note of the current slot; nullopt when an entry up to it is missing or out of step.
std::optional<std::string> NoteOfCurrent(const ProgramState& state, std::string_view bytes) {
    EntryReader in(bytes);
    std::optional<NoteEntry> e;
    for (int i = 1; i <= state.CurrentSection; ++i) {
        e = in.Next();
        if (!e || e->name != NameOfSlot(state, i)) return std::nullopt;
    }
    return std::string(e->note);
}

}  // namespace

std::string NotesFilePath(const ProgramState& state, std::string_view jobName) {
    return state.ProgramDir + std::string(jobName) + ".NTS";
}

bool UpdateNotes(ProgramState& state, UserPort& ui, std::string_view text, NotesMode mode) {
    const std::string path = NotesFilePath(state, state.JobName);
    std::optional<std::string> old = LoadWithRetry(state, ui, path);
    if (!old) return false;
    if (old->empty()) return SaveWithRetry(state, ui, path, FreshNotes(state, text, mode));

    RebuiltNotes rebuilt = RebuildNotes(state, *old, text, mode);
    if (rebuilt.damagedSlot != 0) {
        ShowNotesCorrupted(state, ui);
        // Without the damaged copy set aside, the old file must stay as it is.
        if (!SaveWithRetry(state, ui, state.ProgramDir + std::string(kBadNotesName), *old))
            return false;
    }
    return SaveWithRetry(state, ui, path, rebuilt.bytes);
}

void ReadNotes(ProgramState& state, UserPort& ui) {
    const std::string name =
        HasCurrentSection(state) ? NameOfSlot(state, state.CurrentSection) : std::string();
    state.NotesText = name;
    const std::string path = NotesFilePath(state, state.JobName);
    std::optional<std::string> bytes = LoadWithRetry(state, ui, path);
    if (!bytes) return;
    if (bytes->empty()) {
        UpdateNotes(state, ui, name, NotesMode::Replace);  // a fresh file: the note is the name
        return;
    }
    if (!HasCurrentSection(state)) return;
    if (std::optional<std::string> note = NoteOfCurrent(state, *bytes)) {
        state.NotesText = std::move(*note);
    } else {
        UpdateNotes(state, ui, name, NotesMode::Replace);  // reports and repairs the damage
    }
}

}  // namespace tavro::core
