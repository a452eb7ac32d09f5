// Job files: the text image of the job table ("Format3" layout; an older layout is
// still read). Formatting and parsing are pure; WriteJob/ReadJob add the disk.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/section.h"
#include "core/user_port.h"

namespace tavro::core {

struct ProgramState;
struct NoteChange;

// "Format3" text of the given sections (CR LF lines). Subgrade thicknesses are written as
// 0. Aircraft names longer than 20 characters are written as their first 20 (see
// LongAircraftNames).
std::string FormatJob(const std::vector<Section>& sections);

// Names of design aircraft that do not fit the 20-character field.
std::vector<std::string> LongAircraftNames(const std::vector<Section>& sections);

enum class ParseStatus { Complete, Failed };

// A message the reader wants shown (title, text), in order.
struct JobMessage {
    std::string title;
    std::string text;
};

// A job file holds at most 100 sections: a few hundred KB. Anything far larger is not
// one, and reading it whole would only exhaust the memory.
inline constexpr std::size_t kJobFileReadLimit = std::size_t{4} << 20;

struct ParsedJob {
    ParseStatus status = ParseStatus::Complete;
    // Not empty when the file holds more than fits (sections, aircraft): what was loaded
    // must not be saved over it.
    std::string readOnlyReason;
    std::vector<Section> sections;     // complete sections read (all of them when Complete)
    std::vector<JobMessage> messages;  // "Too Many Sections", "Too Many Aircraft"
    // When Failed: the file error number (62 for a file that ends inside a section or whose
    // last line has no line end, 13 for malformed content), the 1-based line where the
    // problem was found and what it was.
    int errorNumber = 0;
    int errorLine = 0;
    std::string errorDetail;
};

// Parses the bytes of a job file. `jobName` is used in the messages. Never throws; every
// count and code is checked before it is used.
ParsedJob ParseJob(std::string_view bytes, std::string_view jobName);

// Saves the open job to ProgramDir + JobName + ".JOB": the changes made to the job table
// since it was read, applied under the save lock to what the file holds by then, with the
// notes following the sections (SaveJobChanges). Refuses "Samples" and read-only jobs
// with their messages. Returns true on success.
bool WriteJob(ProgramState& state, UserPort& ui);
// The same, saving these notes in the same change (a section added with its note).
bool WriteJob(ProgramState& state, UserPort& ui, const std::vector<NoteChange>& notes);

// Reads ProgramDir + JobName + ".JOB" into the job table. Returns true when the file was
// not read (the message has been shown); the sections read before the problem are in the
// job table. A file that ends inside a section or inside its last line, or that holds
// more sections or aircraft than fit, is reported and opened read-only (returns false,
// ReadOnlyReason set). CurrentSection is 1, or 0 when there is no section.
bool ReadJob(ProgramState& state, UserPort& ui);

std::string JobFilePath(const ProgramState& state, std::string_view jobName);

}  // namespace tavro::core
