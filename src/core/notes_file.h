// Notes files: one free-text note per section, in slot order, beside the job file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/section.h"
#include "core/user_port.h"

namespace tavro::core {

struct ProgramState;

enum class NotesMode { Replace = 0, Insert = 1, Remove = -1 };

inline constexpr std::string_view kNotOldLastSect = "NotOldLastSect";
inline constexpr std::string_view kOldLastSect = "OldLastSect";
inline constexpr std::string_view kNoNotes = "No notes.";

// Fills state.NotesText with the note of the current section (creating the notes file
// when it is missing or empty; repairing it when it is out of step with the job). The
// notes of "Samples" follow its built-in sections, whatever was deleted from it in memory.
// false when the notes file could not be read (reported; NotesText is the section's name).
bool ReadNotes(ProgramState& state, UserPort& ui);

// Rewrites the notes file for one change: Replace sets the note of the current section to
// `text`; Insert gives the current section (already in the job file) the note `text`;
// Remove follows a deleted section, `text` being kNotOldLastSect or kOldLastSect. Entries
// are matched to the sections of the job file by name, so a file out of step keeps the
// note of every section that still exists; such a file is reported ("Notes File Error")
// and first kept under a NOTESBAD name not used before. Refused for a read-only job.
// Returns false when nothing was written (reported; the old file is intact).
bool UpdateNotes(ProgramState& state, UserPort& ui, std::string_view text, NotesMode mode);

std::string NotesFilePath(const ProgramState& state, std::string_view jobName);

// ---- Pieces shared with the job saves -------------------------------------------------

// The note a change gives a section, by the section's name.
struct NoteChange {
    std::string sectionName;
    std::string text;
};

struct NoteEntryText {
    std::string name;
    std::string note;
};

struct ParsedNotes {
    std::vector<NoteEntryText> entries;  // entries up to the first damaged one
    bool complete = true;                // false: an entry was missing its count or bytes
};

ParsedNotes ParseNotes(std::string_view bytes);

// True when the entries are exactly one per name, in this order.
bool NotesMatch(const ParsedNotes& notes, const std::vector<std::string>& names);

// A notes file for the sections `names`: each note comes from `changes`, else from the
// old entry of that name (repeated names take their entries in order), else it is the
// section's name.
std::string NotesFor(const std::vector<std::string>& names, const ParsedNotes& old,
                     const std::vector<NoteChange>& changes);

// Names of the sections, in slot order.
std::vector<std::string> NamesOf(const std::vector<Section>& sections);

// Reports a damaged notes file and keeps a copy of its bytes under a NOTESBAD name that no
// earlier repair used. false when the copy could not be written (reported).
bool SetAsideDamagedNotes(const ProgramState& state, UserPort& ui, std::string_view bytes);

// The bytes of a file ("" when there is none); nullopt when it exists but cannot be read
// and the user gave up (reported).
std::optional<std::string> LoadWithRetry(const ProgramState& state, UserPort& ui,
                                         const std::string& path);

// Saves with the file-error dialog's Retry. false when the user gave up (reported).
bool SaveWithRetry(const ProgramState& state, UserPort& ui, const std::string& path,
                   std::string_view bytes);

}  // namespace tavro::core
