// Whole-file reads and atomic writes, with failures mapped onto the program's file
// error numbers (52 bad name, 53 not found, 54 bad mode/access, 55 already open,
// 57 device error or disk full, 62 past end of file, 64 bad name, 68 device unavailable,
// 71 disk not ready, 76 path not found, 75 any other access error).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavro::core {

struct ReadResult {
    int error = 0;  // 0 = read; otherwise a file error number
    std::string bytes;
    // Why a file that exists was refused (not a regular file, too large); empty otherwise.
    std::string detail;
};

// Generous for every file the program reads: a full job file is a few hundred KB.
inline constexpr std::size_t kDefaultReadLimit = std::size_t{16} << 20;

// Reads the whole file in binary mode. Opening never blocks (a FIFO or a device in the
// file's place is refused, not waited on); only regular files of at most `limit` bytes
// are read, anything else is error 54 with the reason in `detail`.
ReadResult ReadWholeFile(const std::string& path, std::size_t limit = kDefaultReadLimit);

// Faults to inject into WriteFileAtomically (tests only): errno values raised at the
// named step, 0 = no fault.
struct WriteFaults {
    int atWrite = 0;
    int atClose = 0;
    int atRename = 0;
};

// Durable: the user's files (jobs, notes) reach the disk before the save is reported done.
// Scratch: the analysis files rewritten at every design iteration; still replaced whole,
// but not flushed to the disk (an fsync per iteration would cost more than the analysis).
enum class Durability { Durable, Scratch };

// Writes `bytes` to a temporary file in the target's directory, flushes and closes it,
// then renames it over `path`. Returns 0 or a file error number; on failure the
// temporary file is removed and the target is left byte-identical. A target the user
// may not write (read-only file) or that is not a regular file is refused with 54 before
// anything is written. Temporary files of this target left behind by a killed save are
// removed after a successful one: call it only while holding the lock that serializes
// the saves of this file.
int WriteFileAtomically(const std::string& path, std::string_view bytes,
                        const WriteFaults* faults = nullptr,
                        Durability durability = Durability::Durable);

// Maps an errno value met while opening/reading/writing `path` to a file error number.
int FileErrorNumberFromErrno(int err, const std::string& path);

bool FileExists(const std::string& path);

// Removes `path` only when it is a regular file (not a link, directory or device).
// Returns 0 or a file error number (54 for anything but a regular file).
int RemoveRegularFile(const std::string& path);

// The temporary name a save of `path` uses, with its random part `tag` (tests).
std::string TemporaryNameFor(const std::string& path, std::string_view tag);

}  // namespace tavro::core
