// Notes files: one free-text note per section, in slot order, beside the job file.
#pragma once

#include <string>
#include <string_view>

#include "core/user_port.h"

namespace tavro::core {

struct ProgramState;

enum class NotesMode { Replace = 0, Insert = 1, Remove = -1 };

inline constexpr std::string_view kNotOldLastSect = "NotOldLastSect";
inline constexpr std::string_view kOldLastSect = "OldLastSect";
inline constexpr std::string_view kNoNotes = "No notes.";

// Fills state.NotesText with the note of the current section (creating the notes file
// when it is missing or empty; repairing it when it is out of step with the job).
void ReadNotes(ProgramState& state, UserPort& ui);

// Rewrites the notes file for one change: Replace sets the note of the current section to
// `text`; Insert adds an entry with `text` at the current slot (the job table already holds
// the new section); Remove drops the entry of a deleted section, `text` being
// kNotOldLastSect or kOldLastSect. A damaged file is reported ("Notes File Error"), kept
// as NOTESBAD.NTS and replaced by a consistent one. Returns false when the file could not
// be written (reported through the file-error dialog; the old file is intact).
bool UpdateNotes(ProgramState& state, UserPort& ui, std::string_view text, NotesMode mode);

std::string NotesFilePath(const ProgramState& state, std::string_view jobName);

}  // namespace tavro::core
