// Changes to a job that other programs may be changing at the same time: every change
// takes the save lock of the program directory, re-reads the job and notes files, applies
// only its own change to what they hold, and writes both before it lets go. The job file
// and the notes file change together or not at all.
#pragma once

#include <string>
#include <vector>

#include "core/file_lock.h"
#include "core/notes_file.h"
#include "core/user_port.h"

namespace tavro::core {

struct ProgramState;

// Takes the save lock of the program directory (waiting for another program's save to
// end; saves take milliseconds). false when the lock file cannot be used (reported).
bool LockSaves(const ProgramState& state, UserPort& ui, FileLock& lock);

// When the open job is read-only, shows why and that copying its sections into a new
// job keeps what was read, and returns true.
bool RefuseReadOnly(const ProgramState& state, UserPort& ui, std::string_view title);

// The section names of the job as its file holds them now ("Samples": the built-in
// sections); the job table's names when the file cannot be read whole. Call under the
// save lock.
std::vector<std::string> SectionNamesOnDisk(const ProgramState& state);

enum class SaveStatus { Saved, Refused, Failed };

// Saves the changes made to the job table since it was read or last saved (sections
// added, removed and changed, found by name), over what the job file holds now, and the
// notes file with `notes` applied, its entries following the sections by name. When the
// notes cannot be saved, the job file is put back as it was and the job table is left as
// it was. On success the job table is what the file holds and CurrentSection follows the
// section it named. Conflicts (a section added here that the file already holds; a
// section changed here that another program deleted) are refused with a message.
SaveStatus SaveJobChanges(ProgramState& state, UserPort& ui,
                          const std::vector<NoteChange>& notes = {});

}  // namespace tavro::core
